#pragma once

#include "WiringMap.h"

#include <QList>
#include <QString>

// What the inputs showed at each step of a check, one bit per GPI index, 1 = on (the
// wire's active-low bits already turned round).
struct Observations {
    quint32 allOff = 0;   // every output off
    quint32 allOn = 0;    // every output on
    quint32 outputOn = 0; // the channel's output alone on
};

// The faults a channel can show, in the words a technician uses.
enum FaultKind : unsigned {
    StuckOn = 1u << 0, // the input is on with every output off
    Open = 1u << 1,    // the input never follows its output
    Crossed = 1u << 2, // the output lights another input instead of its own
    Shorted = 1u << 3, // the output lights another input as well as its own
};

struct ChannelVerdict {
    unsigned faults = 0; // FaultKind bits; 0 is OK
    // "OK", or each fault in words: "crossed: output 7 drives input 9".
    QStringList findings;
    QList<int> inputsSeen; // GPI indices on with the output alone on

    bool ok() const { return faults == 0; }
};

// The verdict on one channel from what its steps showed. Inputs beyond gpis are not looked
// at; an input that is stuck on is not held against the outputs that seem to light it.
ChannelVerdict Diagnose(const Channel &channel, const Observations &seen, int gpis);

// "OK" or the findings joined by "; ".
QString VerdictText(const ChannelVerdict &verdict);
// The fault names, for the JSON report: "stuck on", "open", "crossed", "shorted".
QStringList FaultNames(unsigned faults);
