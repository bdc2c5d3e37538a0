#include "EventJson.h"

#include "EventText.h"
#include "HexText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

double ms(qint64 us) {
    return double(us) / 1000.0;
}

QJsonArray lines(quint32 bits, int gpis) {
    QJsonArray on;
    for (int i = 0; i < gpis; ++i)
        on.append(((bits >> i) & 1u) == 0);
    return on;
}

void putState(QJsonObject &o, const GpiState &state) {
    o.insert(QStringLiteral("firmware"), state.firmware);
    o.insert(QStringLiteral("inputs"), lines(state.inputs, state.gpis));
    if (state.withOutputs)
        o.insert(QStringLiteral("outputs"), lines(state.outputs, state.gpis));
}

void putLine(QJsonObject &o, bool output, int number, const QString &name) {
    o.insert(QStringLiteral("line"), output ? QStringLiteral("output") : QStringLiteral("input"));
    o.insert(QStringLiteral("gpi"), number);
    if (!name.isEmpty())
        o.insert(QStringLiteral("name"), name);
}

QJsonValue span(const Span &s) {
    if (!s.seen())
        return QJsonValue();
    return QJsonObject{{QStringLiteral("shortestMs"), ms(s.shortestUs)},
                       {QStringLiteral("longestMs"), ms(s.longestUs)}};
}

QJsonObject summary(const RunSummary &s) {
    QJsonArray moved;
    for (const LineSummary &line : s.lines) {
        QJsonObject o;
        putLine(o, line.output, line.number, line.name);
        o.insert(QStringLiteral("edges"), line.edges);
        o.insert(QStringLiteral("on"), span(line.onTimes));
        o.insert(QStringLiteral("off"), span(line.offTimes));
        o.insert(QStringLiteral("short"), line.shortPulses);
        moved.append(o);
    }
    return {{QStringLiteral("watchedMs"), ms(s.watchedUs)},
            {QStringLiteral("end"), s.end},
            {QStringLiteral("edges"), s.edges},
            {QStringLiteral("reports"), double(s.reports)},
            {QStringLiteral("unchanged"), double(s.unchanged)},
            {QStringLiteral("skippedBytes"), double(s.skippedBytes)},
            {QStringLiteral("linksLost"), s.linksLost},
            {QStringLiteral("lines"), moved}};
}

} // namespace

QByteArray EventJson(const MonEvent &e) {
    static const char *const names[] = {"state", "edge",      "serial", "link",
                                        "link",  "heartbeat", "summary"};
    QJsonObject o{{QStringLiteral("event"), QLatin1String(names[e.kind])},
                  {QStringLiteral("time"), TimeText(e.time)},
                  {QStringLiteral("elapsedMs"), ms(e.elapsedUs)}};
    switch (e.kind) {
    case MonEvent::State:
    case MonEvent::Heartbeat:
        putState(o, e.state);
        break;
    case MonEvent::Edge:
        putLine(o, e.output, e.number, e.name);
        o.insert(QStringLiteral("on"), e.change.on);
        o.insert(QStringLiteral("edges"), e.change.edges);
        if (e.change.unseen) {
            o.insert(QStringLiteral("unseen"), true);
        } else {
            o.insert(QStringLiteral("widthMs"), ms(e.change.widthUs));
            o.insert(QStringLiteral("widthAtLeast"), e.change.widthAtLeast);
            o.insert(QStringLiteral("short"), e.change.isShort);
        }
        break;
    case MonEvent::Serial:
        o.insert(QStringLiteral("port"), e.port);
        o.insert(QStringLiteral("hex"), cli::hexText(e.data));
        o.insert(QStringLiteral("text"), QString::fromLatin1(e.data));
        break;
    case MonEvent::LinkLost:
        o.insert(QStringLiteral("up"), false);
        o.insert(QStringLiteral("reason"), e.reason);
        if (e.seconds > 0)
            o.insert(QStringLiteral("retryS"), e.seconds);
        break;
    case MonEvent::LinkBack:
        o.insert(QStringLiteral("up"), true);
        o.insert(QStringLiteral("downS"), e.seconds);
        break;
    case MonEvent::Summary:
        o.insert(QStringLiteral("summary"), summary(e.summary));
        break;
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}
