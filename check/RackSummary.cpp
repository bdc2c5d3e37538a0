#include "RackSummary.h"

#include "CheckReport.h"
#include "JunitReport.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

double RackTally::boxesPerMinute() const {
    return elapsedNs > 0 ? boxes() * 60e9 / double(elapsedNs) : 0.0;
}

int RackTally::exitStatus() const {
    return notChecked > 0 ? 2 : fail > 0 ? 1 : 0;
}

RackTally Tally(const QList<BoxRecord> &records, qint64 elapsedNs) {
    RackTally tally;
    tally.elapsedNs = elapsedNs;
    for (const BoxRecord &record : records) {
        switch (ExitStatusOf(record)) {
        case 0:
            ++tally.pass;
            break;
        case 1:
            ++tally.fail;
            break;
        default:
            ++tally.notChecked;
            break;
        }
    }
    return tally;
}

QString SummaryLine(const RackTally &tally) {
    return QStringLiteral("%1 pass, %2 fail, %3 not checked in %4 s (%5 boxes per minute)")
        .arg(tally.pass)
        .arg(tally.fail)
        .arg(tally.notChecked)
        .arg(double(tally.elapsedNs) / 1e9, 0, 'f', 2)
        .arg(qRound(tally.boxesPerMinute()));
}

QString BoxLine(const BoxRecord &record) {
    const QString place =
        QStringLiteral("%1:%2").arg(record.result.address).arg(record.result.port);
    const QString name = record.label.unitId.isEmpty()
                             ? place
                             : QStringLiteral("%1 (%2)").arg(record.label.unitId, place);
    return QStringLiteral("%1: %2 in %3 s")
        .arg(name, OutcomeText(record))
        .arg(double(record.result.elapsedNs) / 1e9, 0, 'f', 2);
}

QByteArray RackReport(ReportFormat format, const QList<BoxRecord> &records,
                      const RackTally &tally) {
    if (format == ReportFormat::Junit)
        return JunitReport(records);
    if (format == ReportFormat::Json) {
        QJsonArray boxes;
        for (const BoxRecord &record : records)
            boxes.append(JsonRecord(record));
        const QJsonObject report{
            {QStringLiteral("layout"), JsonLayoutVersion},
            {QStringLiteral("program"), QCoreApplication::applicationName()},
            {QStringLiteral("version"), QCoreApplication::applicationVersion()},
            {QStringLiteral("pass"), tally.pass},
            {QStringLiteral("fail"), tally.fail},
            {QStringLiteral("notChecked"), tally.notChecked},
            {QStringLiteral("seconds"), double(tally.elapsedNs / 1000000) / 1000.0},
            {QStringLiteral("boxesPerMinute"), qRound(tally.boxesPerMinute())},
            {QStringLiteral("summary"), SummaryLine(tally)},
            {QStringLiteral("boxes"), boxes},
        };
        return QJsonDocument(report).toJson(QJsonDocument::Indented);
    }
    QStringList parts;
    for (const BoxRecord &record : records)
        parts << TextReport(record);
    parts << SummaryLine(tally) + u'\n';
    return parts.join(u'\n').toUtf8();
}

QString BoxReportName(const BoxRecord &record, ReportFormat format) {
    const QString name =
        record.label.unitId.isEmpty()
            ? QStringLiteral("%1-%2").arg(record.result.address).arg(record.result.port)
            : record.label.unitId;
    return name + u'.' + ReportSuffix(format);
}
