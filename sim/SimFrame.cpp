#include "SimFrame.h"

#include "DeviceFrames.h"

namespace sim {

namespace {

QString clock(const QTime &time) {
    return time.toString(QStringLiteral("hh:mm:ss.zzz"));
}

} // namespace

QString traceLine(const SimFrame &frame) {
    // Seven bytes (the longest fixed frame) line up the meanings.
    const QString hex = hexBytes(frame.bytes).leftJustified(20);
    return clock(frame.time) +
           (frame.direction == SimFrame::Received ? QStringLiteral(" recv ")
                                                  : QStringLiteral(" send ")) +
           hex + QStringLiteral("  ") + frame.meaning;
}

QString traceEvent(const QTime &time, const QString &text) {
    return clock(time) + QStringLiteral(" ---- ") + text;
}

} // namespace sim
