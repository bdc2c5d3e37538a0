#include "CheckReport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

} // namespace

QString ResultLine(const CheckResult &result) {
    const int faulty = result.faulty();
    return faulty == 0
               ? QStringLiteral("PASS")
               : QStringLiteral("FAIL: %1 of %2 channels").arg(faulty).arg(result.channels.size());
}

QString TextReport(const CheckResult &result) {
    QStringList lines;
    lines << QStringLiteral("Wiring check of %1 port %2, firmware v%3")
                 .arg(result.address)
                 .arg(result.port)
                 .arg(result.firmware);
    lines << QStringLiteral("Date: %1").arg(result.started.toString(Qt::ISODate));
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

QByteArray JsonReport(const CheckResult &result) {
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
    const QJsonObject report{
        {QStringLiteral("program"), QCoreApplication::applicationName()},
        {QStringLiteral("version"), QCoreApplication::applicationVersion()},
        {QStringLiteral("address"), result.address},
        {QStringLiteral("port"), result.port},
        {QStringLiteral("firmware"), result.firmware},
        {QStringLiteral("date"), result.started.toString(Qt::ISODateWithMs)},
        {QStringLiteral("map"), result.map},
        {QStringLiteral("inputsOnWithAllOutputsOff"), gpiArray(result.inputsAllOff)},
        {QStringLiteral("inputsOnWithAllOutputsOn"), gpiArray(result.inputsAllOn)},
        {QStringLiteral("channels"), channels},
        {QStringLiteral("faultyChannels"), result.faulty()},
        {QStringLiteral("seconds"), double(result.elapsedNs / 1000000) / 1000.0},
        {QStringLiteral("result"), ResultLine(result)},
    };
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}
