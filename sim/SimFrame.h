#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>
#include <QTime>

namespace sim {

// One frame as the simulator saw it go by, for the trace, the summary and for tests.
struct SimFrame {
    enum Direction { Received, Sent };

    Direction direction = Received;
    // Nanoseconds since the device was made; the wall-clock time for people.
    qint64 ns = 0;
    QTime time;
    // The kind as the summary counts it, e.g. "GPI input status request".
    QString kind;
    QByteArray bytes;
    // What it means, with anything unusual about how it travelled.
    QString meaning;
};

// "10:15:02.123 recv FF 00 01               GPI input status request"
QString traceLine(const SimFrame &frame);
// "10:15:02.123 ---- tester connected from 127.0.0.1:40312"
QString traceEvent(const QTime &time, const QString &text);

} // namespace sim

Q_DECLARE_METATYPE(sim::SimFrame)
