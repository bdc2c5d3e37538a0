#include "SimStats.h"

#include <QStringList>

namespace sim {

namespace {

void addCounts(QStringList &lines, const QString &title, const QMap<QString, int> &counts) {
    int total = 0;
    for (const int n : counts)
        total += n;
    lines << QStringLiteral("  %1: %2").arg(title).arg(total);
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        lines << QStringLiteral("    %1  %2").arg(it.value(), 7).arg(it.key());
}

} // namespace

QString SimStats::summary() const {
    QStringList lines;
    lines << QStringLiteral("Summary");
    lines << QStringLiteral("  connections: %1 served, %2 refused").arg(connections).arg(refused);
    addCounts(lines, QStringLiteral("frames received"), framesReceived);
    addCounts(lines, QStringLiteral("frames sent"), framesSent);
    lines << QStringLiteral("  bytes: %1 received, %2 sent").arg(bytesReceived).arg(bytesSent);
    addCounts(lines, QStringLiteral("faults injected"), faults);
    if (splitByTester)
        lines << QStringLiteral("  frames the tester split over several writes: %1")
                     .arg(splitByTester);
    if (dropped)
        lines << QStringLiteral(
                     "  frames dropped (the tester stopped reading, or too many waiting): %1")
                     .arg(dropped);
    if (superseded)
        lines << QStringLiteral("  input reports replaced by a newer one while waiting: %1")
                     .arg(superseded);
    return lines.join(QLatin1Char('\n'));
}

} // namespace sim
