#include "JunitReport.h"

#include "CheckReport.h"

#include <QXmlStreamWriter>

namespace {

QString secondsText(double seconds) {
    return QString::number(seconds, 'f', 3);
}

double recordSeconds(const BoxRecord &record) {
    return double(record.result.elapsedNs) / 1e9;
}

void writeProperty(QXmlStreamWriter &xml, const QString &name, const QString &value) {
    if (value.isEmpty())
        return;
    xml.writeStartElement(QStringLiteral("property"));
    xml.writeAttribute(QStringLiteral("name"), name);
    xml.writeAttribute(QStringLiteral("value"), value);
    xml.writeEndElement();
}

void writeSuite(QXmlStreamWriter &xml, const BoxRecord &record, int id) {
    const CheckResult &result = record.result;
    const QString suite = record.name();
    const int errors = record.checked() ? 0 : 1;
    xml.writeStartElement(QStringLiteral("testsuite"));
    xml.writeAttribute(QStringLiteral("name"), suite);
    xml.writeAttribute(QStringLiteral("id"), QString::number(id));
    xml.writeAttribute(QStringLiteral("package"), QStringLiteral("vorn-check"));
    xml.writeAttribute(QStringLiteral("tests"), QString::number(result.channels.size() + errors));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(result.faulty()));
    xml.writeAttribute(QStringLiteral("errors"), QString::number(errors));
    xml.writeAttribute(QStringLiteral("skipped"), QStringLiteral("0"));
    xml.writeAttribute(QStringLiteral("time"), secondsText(recordSeconds(record)));
    // The schema's timestamp is a local date and time without an offset.
    const QDateTime started =
        result.started.isValid() ? result.started : QDateTime::currentDateTime();
    xml.writeAttribute(QStringLiteral("timestamp"), started.toString(Qt::ISODate).left(19));
    xml.writeAttribute(QStringLiteral("hostname"), record.station);

    xml.writeStartElement(QStringLiteral("properties"));
    writeProperty(xml, QStringLiteral("unit"), record.label.unitId);
    writeProperty(xml, QStringLiteral("operator"), record.label.operatorName);
    writeProperty(xml, QStringLiteral("address"), result.address);
    writeProperty(xml, QStringLiteral("port"), QString::number(result.port));
    writeProperty(xml, QStringLiteral("firmware"), result.firmware);
    writeProperty(xml, QStringLiteral("map"), result.map);
    writeProperty(xml, QStringLiteral("settleMs"), QString::number(record.settleMs));
    writeProperty(xml, QStringLiteral("timeoutMs"), QString::number(record.timeoutMs));
    writeProperty(xml, QStringLiteral("outcome"), OutcomeText(record));
    xml.writeEndElement();

    const QString classname = QStringLiteral("vorn-check.") + suite;
    for (const ChannelResult &channel : result.channels) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("output %1 to input %2")
                                                       .arg(channel.channel.output + 1)
                                                       .arg(channel.channel.input + 1));
        xml.writeAttribute(QStringLiteral("classname"), classname);
        xml.writeAttribute(QStringLiteral("time"), secondsText(channel.seconds));
        if (!channel.verdict.ok()) {
            xml.writeStartElement(QStringLiteral("failure"));
            xml.writeAttribute(QStringLiteral("message"), VerdictText(channel.verdict));
            xml.writeAttribute(QStringLiteral("type"),
                               FaultNames(channel.verdict.faults).join(QStringLiteral(", ")));
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (errors) {
        xml.writeStartElement(QStringLiteral("testcase"));
        xml.writeAttribute(QStringLiteral("name"), QStringLiteral("wiring check"));
        xml.writeAttribute(QStringLiteral("classname"), classname);
        xml.writeAttribute(QStringLiteral("time"), secondsText(recordSeconds(record)));
        xml.writeStartElement(QStringLiteral("error"));
        xml.writeAttribute(QStringLiteral("message"), OutcomeText(record));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("not checked"));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeTextElement(QStringLiteral("system-out"), QString());
    xml.writeTextElement(QStringLiteral("system-err"), QString());
    xml.writeEndElement();
}

} // namespace

QByteArray JunitReport(const QList<BoxRecord> &records) {
    int tests = 0;
    int failures = 0;
    int errors = 0;
    // The boxes are checked side by side: the whole takes from the first start to the last end.
    QDateTime first;
    QDateTime last;
    for (const BoxRecord &record : records) {
        tests += int(record.result.channels.size()) + (record.checked() ? 0 : 1);
        failures += record.result.faulty();
        errors += record.checked() ? 0 : 1;
        if (record.result.started.isValid() && (!first.isValid() || record.result.started < first))
            first = record.result.started;
        if (record.ended.isValid() && (!last.isValid() || record.ended > last))
            last = record.ended;
    }
    const double seconds =
        first.isValid() && last.isValid() ? double(first.msecsTo(last)) / 1000.0 : 0.0;
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("testsuites"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("vorn-check"));
    xml.writeAttribute(QStringLiteral("tests"), QString::number(tests));
    xml.writeAttribute(QStringLiteral("failures"), QString::number(failures));
    xml.writeAttribute(QStringLiteral("errors"), QString::number(errors));
    xml.writeAttribute(QStringLiteral("time"), secondsText(seconds));
    for (int i = 0; i < records.size(); ++i)
        writeSuite(xml, records[i], i);
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}
