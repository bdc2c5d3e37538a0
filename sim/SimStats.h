#pragma once

#include <QMap>
#include <QString>

namespace sim {

// Counts for the summary the simulator prints when it ends.
struct SimStats {
    QMap<QString, int> framesReceived; // by kind
    QMap<QString, int> framesSent;     // by kind
    QMap<QString, int> faults;         // by fault
    qint64 bytesReceived = 0;
    qint64 bytesSent = 0;
    int connections = 0;
    int refused = 0;
    // Frames the tester delivered in more than one piece.
    int splitByTester = 0;
    // Frames not sent because the tester stopped reading or too many were waiting.
    int dropped = 0;
    // Input reports replaced by a newer one before they went out (pace or delay).
    int superseded = 0;

    QString summary() const;
};

} // namespace sim
