#pragma once

#include "DeviceFrames.h"
#include "Wiring.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace sim {

// One command to the simulator, as typed on its standard input or given on its command line.
struct SimCommand {
    enum Kind {
        Nothing, // blank line or comment
        Help,
        State,
        Quit,
        SetInputs,   // bits
        SwitchInput, // numbers (GPI indices), on
        Report,      // one input report now
        ReportEvery, // value ms, 0 = off
        Walk,        // value ms, 0 = off; count (0 = keep)
        Follow,      // on
        WireFaults,  // faults to add; none (clear) straightens the wiring
        Loopback,    // on
        Firmware,    // major, minor
        Send,        // bytes
        Pace,        // value ms, 0 = off
        Split,       // value: bytes in the first write, 0 = half
        SplitGap,    // value ms
        Coalesce,
        Delay, // value ms, 0 = off
        Garbage,
        Short,
        Close,
        Reset,
        StopListening,
        Listen,
    };

    Kind kind = Nothing;
    GpiBits bits = AllOff;
    QList<int> numbers;
    bool on = false;
    int value = 0;
    int count = 0;
    quint8 major = 0;
    quint8 minor = 0;
    QByteArray bytes;
    QList<WireFault> faults;
};

struct ParsedCommand {
    SimCommand command;
    // Empty when the line was understood; otherwise what was wrong, for the person typing.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// Text to command, nothing else: no state, no side effects. Keywords are case-insensitive.
ParsedCommand parseCommand(const QString &line);

// "FF 00 01", "ff0001", "0xFF 0x00 0x01": bytes, or an error text.
ParsedCommand parseHexBytes(const QStringList &tokens, int maxBytes);

// The longest frame `send` takes.
constexpr int MaxSendBytes = 65536;
// The longest period or delay, one hour.
constexpr int MaxMilliseconds = 3600000;

} // namespace sim
