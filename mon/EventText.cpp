#include "EventText.h"

#include "HexText.h"

namespace {

QString paint(const QString &text, const char *code, bool colour) {
    return colour ? QStringLiteral("\033[%1m%2\033[0m").arg(QLatin1String(code), text) : text;
}

QString lineName(bool output, int number, const QString &name) {
    const QString line = QStringLiteral("%1 %2")
                             .arg(output ? QStringLiteral("output") : QStringLiteral("input"))
                             .arg(number);
    return name.isEmpty() ? line : line + u' ' + name;
}

// "on: 3 7" or "on: none".
QString onList(quint32 bits, int gpis) {
    QStringList on;
    for (int i = 0; i < gpis; ++i) {
        if (((bits >> i) & 1u) == 0)
            on << QString::number(i + 1);
    }
    return on.isEmpty() ? QStringLiteral("none") : on.join(u' ');
}

QString stateText(const GpiState &state) {
    QString text = QStringLiteral("firmware %1, %2 inputs, on: %3")
                       .arg(state.firmware)
                       .arg(state.gpis)
                       .arg(onList(state.inputs, state.gpis));
    if (state.withOutputs)
        text += QStringLiteral("; outputs on: %1").arg(onList(state.outputs, state.gpis));
    return text;
}

QString edgeText(const MonEvent &e, bool colour) {
    const Change &c = e.change;
    QString text = lineName(e.output, e.number, e.name) + u' ' +
                   (c.on ? paint(QStringLiteral("on"), "1;32", colour) : QStringLiteral("off"));
    const QString before = c.on ? QStringLiteral("off") : QStringLiteral("on");
    if (c.unseen)
        text += QStringLiteral(", changed while the link was down");
    else
        text += QStringLiteral(", %1 %2%3")
                    .arg(before, c.widthAtLeast ? QStringLiteral(">= ") : QString(),
                         DurationText(c.widthUs));
    text += QStringLiteral(", edge %1").arg(c.edges);
    if (c.isShort)
        text += u' ' + paint(QStringLiteral("short (under %1)").arg(DurationText(e.minPulseUs)),
                             "1;33", colour);
    return text;
}

QString spanText(const char *what, const Span &span) {
    if (!span.seen())
        return QString();
    return QStringLiteral(", %1 %2 to %3")
        .arg(QLatin1String(what), DurationText(span.shortestUs), DurationText(span.longestUs));
}

QString summaryText(const RunSummary &s) {
    QString text = QStringLiteral("summary: %1 watched, ended by %2; %3 edges, %4 reports (%5 "
                                  "changed nothing), %6 bytes skipped, %7 links lost")
                       .arg(DurationText(s.watchedUs), s.end)
                       .arg(s.edges)
                       .arg(s.reports)
                       .arg(s.unchanged)
                       .arg(s.skippedBytes)
                       .arg(s.linksLost);
    for (const LineSummary &line : s.lines) {
        text += QStringLiteral("\n  %1: %2 edges%3%4")
                    .arg(lineName(line.output, line.number, line.name))
                    .arg(line.edges)
                    .arg(spanText("on", line.onTimes), spanText("off", line.offTimes));
        if (line.shortPulses > 0)
            text += QStringLiteral(", %1 short").arg(line.shortPulses);
    }
    return text;
}

QString printable(const QByteArray &data) {
    QString text;
    for (char c : data)
        text += c >= 0x20 && c < 0x7F ? QChar(c) : QChar(u'.');
    return text;
}

} // namespace

QString TimeText(const QDateTime &time) {
    const int offset = time.offsetFromUtc() / 60;
    return time.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")) +
           QStringLiteral("%1%2:%3")
               .arg(offset < 0 ? QStringLiteral("-") : QStringLiteral("+"))
               .arg(qAbs(offset) / 60, 2, 10, QLatin1Char('0'))
               .arg(qAbs(offset) % 60, 2, 10, QLatin1Char('0'));
}

QString DurationText(qint64 us) {
    if (us < 1000000)
        return QStringLiteral("%1 ms").arg(double(us) / 1000.0, 0, 'f', us < 10000 ? 1 : 0);
    const qint64 minutes = us / 60000000;
    const QString seconds = QStringLiteral("%1 s").arg(double(us % 60000000) / 1e6, 0, 'f', 3);
    return minutes > 0 ? QStringLiteral("%1 min %2").arg(minutes).arg(seconds) : seconds;
}

QString EventText(const MonEvent &e, bool colour) {
    QString text;
    switch (e.kind) {
    case MonEvent::State:
        text = QStringLiteral("state ") + stateText(e.state);
        break;
    case MonEvent::Heartbeat:
        text = QStringLiteral("heartbeat ") + stateText(e.state);
        break;
    case MonEvent::Edge:
        text = edgeText(e, colour);
        break;
    case MonEvent::Serial:
        text = QStringLiteral("serial port %1: %2 \"%3\"")
                   .arg(e.port)
                   .arg(cli::hexText(e.data), printable(e.data));
        break;
    case MonEvent::LinkLost:
        text = QStringLiteral("link lost: %1").arg(e.reason);
        if (e.seconds > 0)
            text += QStringLiteral("; trying again in %1 s").arg(e.seconds);
        break;
    case MonEvent::LinkBack:
        text = QStringLiteral("link back after %1 s").arg(e.seconds);
        break;
    case MonEvent::Summary:
        text = summaryText(e.summary);
        break;
    }
    return TimeText(e.time) + u' ' + text;
}
