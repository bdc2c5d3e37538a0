#pragma once

#include "DeviceFrames.h"

#include <QList>
#include <QString>

namespace sim {

// A wiring fault between the outputs and the inputs when the inputs follow the outputs: what
// a loop-back harness with a bad wire does to a box.
struct WireFault {
    enum Kind {
        StuckOn, // input a is on whatever the outputs do
        Open,    // output a drives nothing
        Cross,   // outputs a and b drive each other's input
        Short,   // outputs a and b each drive both inputs
    };
    Kind kind = Open;
    int a = 0; // GPI indices, 0 to 23
    int b = 0;

    bool operator==(const WireFault &other) const {
        return kind == other.kind && a == other.a && b == other.b;
    }
};

struct ParsedWireFault {
    WireFault fault;
    // Empty when understood; otherwise what was wrong.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// "stuck-on:3", "open:5", "cross:7,9", "short:5,6" (GPI numbers 1 to 24).
ParsedWireFault parseWireFault(const QString &text);

// "input 3 stuck on", "output 5 open", "outputs 7 and 9 crossed", "outputs 5 and 6 shorted".
QString describeWireFault(const WireFault &fault);
// The faults in words, joined, or "straight" when there are none.
QString describeWiring(const QList<WireFault> &faults);

// The inputs that the outputs light through the wiring: straight (output N lights input N)
// changed by each fault in turn. Active low, as on the wire.
GpiBits wiredInputs(GpiBits outputs, const QList<WireFault> &faults);

} // namespace sim
