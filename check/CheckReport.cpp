#include "CheckReport.h"

#include "JunitReport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace {

QString gpiList(quint32 on) {
    QStringList numbers;
    for (int i = 0; i < 24; ++i) {
        if (on & (1u << i))
            numbers << QString::number(i + 1);
    }
    return numbers.isEmpty() ? QStringLiteral("none") : numbers.join(u',');
}

QJsonArray gpiArray(const QList<int> &indices) {
    QJsonArray numbers;
    for (const int index : indices)
        numbers.append(index + 1);
    return numbers;
}

QJsonArray gpiArray(quint32 on) {
    QList<int> indices;
    for (int i = 0; i < 24; ++i) {
        if (on & (1u << i))
            indices << i;
    }
    return gpiArray(indices);
}

QString msText(const std::optional<double> &ms) {
    return ms ? QString::number(*ms, 'f', 1) + QStringLiteral(" ms") : QStringLiteral("-");
}

QString secondsText(qint64 ns) {
    return QString::number(double(ns) / 1e9, 'f', 2);
}

// Empty text as JSON null: a field that was not given or not learnt.
QJsonValue textOrNull(const QString &text) {
    return text.isEmpty() ? QJsonValue() : QJsonValue(text);
}

QJsonValue timeOrNull(const QDateTime &time) {
    return time.isValid()
               ? QJsonValue(time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs))
               : QJsonValue();
}

QString outputsWord(BoxRecord::Outputs outputs) {
    switch (outputs) {
    case BoxRecord::Outputs::Restored:
        return QStringLiteral("restored");
    case BoxRecord::Outputs::MaybeLeftChanged:
        return QStringLiteral("maybe left changed");
    case BoxRecord::Outputs::Unchanged:
        break;
    }
    return QStringLiteral("unchanged");
}

} // namespace

QString ResultLine(const CheckResult &result) {
    const int faulty = result.faulty();
    return faulty == 0
               ? QStringLiteral("PASS")
               : QStringLiteral("FAIL: %1 of %2 channels").arg(faulty).arg(result.channels.size());
}

QString TextReport(const BoxRecord &record) {
    const CheckResult &result = record.result;
    QStringList lines;
    lines << QStringLiteral("Wiring check of %1 port %2%3")
                 .arg(result.address)
                 .arg(result.port)
                 .arg(result.firmware.isEmpty() ? QString()
                                                : QStringLiteral(", firmware v") + result.firmware);
    if (result.started.isValid())
        lines << QStringLiteral("Date: %1").arg(result.started.toString(Qt::ISODate));
    QString station = QStringLiteral("Station: ") + record.station;
    if (!record.label.unitId.isEmpty())
        station += QStringLiteral(", unit ") + record.label.unitId;
    if (!record.label.operatorName.isEmpty())
        station += QStringLiteral(", operator ") + record.label.operatorName;
    lines << station;
    if (!record.checked()) {
        lines << QStringLiteral("NOT CHECKED: %1; %2").arg(record.error, OutputsNote(record));
        return lines.join(u'\n') + u'\n';
    }
    lines << QStringLiteral("Map: %1, %2 channels").arg(result.map).arg(result.channels.size());
    lines << QStringLiteral("Inputs on with all outputs off: %1; with all on: %2")
                 .arg(gpiList(result.inputsAllOff), gpiList(result.inputsAllOn));
    lines << QStringLiteral("Output  Input  Response  Verdict");
    for (const ChannelResult &channel : result.channels)
        lines << QStringLiteral("%1  %2  %3  %4")
                     .arg(channel.channel.output + 1, 6)
                     .arg(channel.channel.input + 1, 5)
                     .arg(msText(channel.responseMs), 8)
                     .arg(VerdictText(channel.verdict));
    lines << QStringLiteral("Took %1 s").arg(secondsText(result.elapsedNs));
    lines << ResultLine(result);
    return lines.join(u'\n') + u'\n';
}

QJsonObject JsonRecord(const BoxRecord &record) {
    const CheckResult &result = record.result;
    QJsonArray channels;
    for (const ChannelResult &channel : result.channels) {
        QJsonObject entry{
            {QStringLiteral("output"), channel.channel.output + 1},
            {QStringLiteral("expectedInput"), channel.channel.input + 1},
            {QStringLiteral("inputsSeen"), gpiArray(channel.verdict.inputsSeen)},
            {QStringLiteral("verdict"), VerdictText(channel.verdict)},
            {QStringLiteral("faults"),
             QJsonArray::fromStringList(FaultNames(channel.verdict.faults))},
            {QStringLiteral("responseMs"), channel.responseMs
                                               ? QJsonValue(qRound(*channel.responseMs * 10) / 10.0)
                                               : QJsonValue()},
        };
        channels.append(entry);
    }
    return QJsonObject{
        {QStringLiteral("layout"), JsonLayoutVersion},
        {QStringLiteral("program"), QCoreApplication::applicationName()},
        {QStringLiteral("version"), QCoreApplication::applicationVersion()},
        {QStringLiteral("unitId"), textOrNull(record.label.unitId)},
        {QStringLiteral("operator"), textOrNull(record.label.operatorName)},
        {QStringLiteral("station"), record.station},
        {QStringLiteral("address"), result.address},
        {QStringLiteral("port"), result.port},
        {QStringLiteral("gpis"), record.gpis},
        {QStringLiteral("firmware"), textOrNull(result.firmware)},
        {QStringLiteral("started"), timeOrNull(result.started)},
        {QStringLiteral("ended"), timeOrNull(record.ended)},
        {QStringLiteral("seconds"), double(result.elapsedNs / 1000000) / 1000.0},
        {QStringLiteral("settleMs"), record.settleMs},
        {QStringLiteral("timeoutMs"), record.timeoutMs},
        {QStringLiteral("map"), result.map},
        {QStringLiteral("outcome"), OutcomeWord(record)},
        {QStringLiteral("result"), OutcomeText(record)},
        {QStringLiteral("error"), textOrNull(record.error)},
        {QStringLiteral("outputs"), outputsWord(record.outputs)},
        {QStringLiteral("inputsOnWithAllOutputsOff"), gpiArray(result.inputsAllOff)},
        {QStringLiteral("inputsOnWithAllOutputsOn"), gpiArray(result.inputsAllOn)},
        {QStringLiteral("channels"), channels},
        {QStringLiteral("faultyChannels"), result.faulty()},
    };
}

QByteArray JsonReport(const BoxRecord &record) {
    return QJsonDocument(JsonRecord(record)).toJson(QJsonDocument::Indented);
}

QByteArray BoxReport(ReportFormat format, const BoxRecord &record) {
    switch (format) {
    case ReportFormat::Json:
        return JsonReport(record);
    case ReportFormat::Junit:
        return JunitReport({record});
    case ReportFormat::Text:
        break;
    }
    return TextReport(record).toUtf8();
}

QString ReportSuffix(ReportFormat format) {
    switch (format) {
    case ReportFormat::Json:
        return QStringLiteral("json");
    case ReportFormat::Junit:
        return QStringLiteral("xml");
    case ReportFormat::Text:
        break;
    }
    return QStringLiteral("txt");
}
