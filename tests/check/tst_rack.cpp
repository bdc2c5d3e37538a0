#include "CheckReport.h"
#include "JunitReport.h"
#include "LoopbackPorts.h"
#include "RackFile.h"
#include "RackRun.h"
#include "RackSummary.h"
#include "SimulatedDevice.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <memory>

namespace {

constexpr int Patience = 30000;
constexpr sim::GpiBits OutputsBefore = sim::AllOff & ~(1u << 1); // output 2 on

// A simulated box on 127.0.0.1 whose inputs follow its outputs through the faults given.
std::unique_ptr<sim::SimulatedDevice> box(const QStringList &faults = {}) {
    auto device = std::make_unique<sim::SimulatedDevice>();
    device->listen(QHostAddress::LocalHost, 0);
    device->setOutputs(OutputsBefore);
    device->setFollowOutputs(true);
    QList<sim::WireFault> wiring;
    for (const QString &text : faults)
        wiring << sim::parseWireFault(text).fault;
    device->setWireFaults(wiring);
    return device;
}

RackBox rackBox(quint16 port, const QString &unit, int timeoutMs = 1000) {
    RackBox entry;
    entry.settings.address = QHostAddress::LocalHost;
    entry.settings.port = port;
    entry.settings.settleMs = 5;
    entry.settings.timeoutMs = timeoutMs;
    entry.unitId = unit;
    return entry;
}

// The testsuite elements of a JUnit file by name: their attributes, and per suite the
// failure and error messages of its test cases.
struct Junit {
    explicit Junit(const QByteArray &xml) {
        QXmlStreamReader reader(xml);
        QString suite;
        while (!reader.atEnd()) {
            if (reader.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attributes = reader.attributes();
            if (reader.name() == QLatin1String("testsuite")) {
                suite = attributes.value(QLatin1String("name")).toString();
                suites[suite] = attributes;
            } else if (reader.name() == QLatin1String("testcase")) {
                ++cases[suite];
                for (const char *name : {"name", "classname", "time"})
                    valid &= !attributes.value(QLatin1String(name)).isEmpty();
            } else if (reader.name() == QLatin1String("failure") ||
                       reader.name() == QLatin1String("error")) {
                messages[suite] << reader.name().toString() + QStringLiteral(": ") +
                                       attributes.value(QLatin1String("message")).toString();
            }
        }
        valid &= !reader.hasError();
    }

    QMap<QString, QXmlStreamAttributes> suites;
    QMap<QString, int> cases;
    QMap<QString, QStringList> messages;
    bool valid = true;
};

} // namespace

class tst_Rack : public QObject {
    Q_OBJECT

private slots:
    void rackFile_data();
    void rackFile();
    void boxesOfEveryKind();
    void stopRestoresEveryBox();
};

void tst_Rack::rackFile_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("expected");
    // clang-format off
    QTest::newRow("every field") << QByteArray("# rack 3\n\n127.0.0.1:2401 gpis=8 map=h.map unit=ZB-1 # top\n[::1]:2402\n127.0.0.1\n")
                                 << "127.0.0.1 port 2401, 8 GPIs, 2 channels, ZB-1; ::1 port 2402, 24 GPIs, 24 channels, ; 127.0.0.1 port 23, 24 GPIs, 24 channels, ";
    QTest::newRow("host name") << QByteArray("127.0.0.1\nvorn-3.local\n") << "line 2: 'vorn-3.local' is not an IP address";
    QTest::newRow("port 0") << QByteArray("127.0.0.1:0\n") << "line 1: port: '0' is not a whole number from 1 to 65535";
    QTest::newRow("no port after colon") << QByteArray("[::1]:\n") << "line 1: '[::1]:' has no port after the ':'";
    QTest::newRow("unknown field") << QByteArray("127.0.0.1 speed=fast\n") << "line 1: 'speed=fast' is none of gpis=8|24, map=FILE, unit=ID";
    QTest::newRow("12 GPIs") << QByteArray("127.0.0.1 gpis=12\n") << "line 1: gpis: '12' is neither 8 nor 24";
    QTest::newRow("field twice") << QByteArray("127.0.0.1 unit=a unit=b\n") << "line 1: unit= is given twice";
    QTest::newRow("unit id with a slash") << QByteArray("127.0.0.1 unit=../x\n") << "line 1: unit: '../x' is not a unit id";
    QTest::newRow("map beyond the GPIs") << QByteArray("127.0.0.1 gpis=8 map=wide.map\n") << "line 1: map: wide.map, line 1: output: '12' is not a whole number from 1 to 8";
    QTest::newRow("missing map") << QByteArray("127.0.0.1 map=none.map\n") << "line 1: map: cannot read";
    QTest::newRow("same box, port written out") << QByteArray("127.0.0.1\n# spare\n127.0.0.1:23\n") << "line 3: 127.0.0.1 port 23 is in the rack already";
    QTest::newRow("same unit") << QByteArray("127.0.0.1:2401 unit=A\n127.0.0.1:2402 unit=A\n") << "line 2: unit A is in the rack already";
    QTest::newRow("no box") << QByteArray("# empty\n\n") << "no box in the rack";
    // clang-format on
}

void tst_Rack::rackFile() {
    QFETCH(QByteArray, text);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    for (const auto &[name, map] : {std::pair{"h.map", "1 2\n2 1\n"}, {"wide.map", "12 12\n"}}) {
        QFile file(dir.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(map);
    }
    const ReadRack read = ParseRackFile(text, dir.path());
    QStringList boxes;
    for (const RackBox &entry : read.boxes)
        boxes << QStringLiteral("%1 port %2, %3 GPIs, %4 channels, %5")
                     .arg(entry.settings.address.toString())
                     .arg(entry.settings.port)
                     .arg(entry.settings.gpis)
                     .arg(entry.settings.map.channels.size())
                     .arg(entry.unitId);
    QString got = read.ok() ? boxes.join(QStringLiteral("; ")) : read.error;
    got.remove(dir.path() + u'/');
    QVERIFY2(got.startsWith(expected), qPrintable(got));
    QVERIFY(read.ok() || read.boxes.isEmpty());
}

// A passing, a faulty, a refusing and a silent box in one rack, two at a time: the silent
// box holds one place until its timeout while the others go through the other, and every
// box has its record, in JSON and JUnit alike.
void tst_Rack::boxesOfEveryKind() {
    const auto good = box();
    const auto faulty = box({QStringLiteral("cross:7,9")});
    const FullListener silent;
    QVERIFY(good->isListening() && faulty->isListening() && silent.port() != 0);
    const quint16 refusing = closedPort();
    RackRun run({rackBox(silent.port(), QStringLiteral("S1"), 3000),
                 rackBox(good->serverPort(), QStringLiteral("G1")),
                 rackBox(faulty->serverPort(), QString()), rackBox(refusing, QStringLiteral("R1"))},
                2, QStringLiteral("kim"));
    QList<int> order;
    connect(&run, &RackRun::boxDone, this, [&](int index) { order << index; });
    QSignalSpy finished(&run, &RackRun::finished);
    run.start();
    QVERIFY(finished.wait(Patience));
    QCOMPARE(order, (QList<int>{1, 2, 3, 0}));

    const QList<BoxRecord> &records = run.records();
    QStringList outcomes;
    for (const BoxRecord &record : records)
        outcomes << OutcomeText(record);
    const QString faultyName = QStringLiteral("127.0.0.1:%1").arg(faulty->serverPort());
    QCOMPARE(outcomes,
             (QStringList{QStringLiteral("not checked: no connection to 127.0.0.1 port %1 within "
                                         "3000 ms; the outputs were not changed")
                              .arg(silent.port()),
                          "PASS", "FAIL: 2 of 24 channels",
                          QStringLiteral("not checked: 127.0.0.1 port %1 refused the connection; "
                                         "the outputs were not changed")
                              .arg(refusing)}));
    const RackTally tally = Tally(records, run.elapsedNs());
    QCOMPARE(tally.exitStatus(), 2);
    QVERIFY(SummaryLine(tally).startsWith(QStringLiteral("1 pass, 1 fail, 2 not checked in ")));
    QCOMPARE(good->outputs(), OutputsBefore);
    QCOMPARE(BoxReportName(records[2], ReportFormat::Junit),
             QStringLiteral("127.0.0.1-%1.xml").arg(faulty->serverPort()));

    // The record of a box that could not be checked says so in every field a reader looks at.
    const QJsonObject refused = JsonRecord(records[3]);
    QCOMPARE(refused.value(QStringLiteral("layout")).toInt(), JsonLayoutVersion);
    QCOMPARE(refused.value(QStringLiteral("outcome")).toString(), QStringLiteral("error"));
    QCOMPARE(refused.value(QStringLiteral("error")).toString(),
             QStringLiteral("127.0.0.1 port %1 refused the connection").arg(refusing));
    QCOMPARE(refused.value(QStringLiteral("outputs")).toString(), QStringLiteral("unchanged"));
    QCOMPARE(refused.value(QStringLiteral("unitId")).toString(), QStringLiteral("R1"));
    QCOMPARE(refused.value(QStringLiteral("operator")).toString(), QStringLiteral("kim"));
    QVERIFY(refused.value(QStringLiteral("firmware")).isNull());
    QVERIFY(!refused.value(QStringLiteral("station")).toString().isEmpty());
    QVERIFY(!refused.value(QStringLiteral("started")).toString().isEmpty());
    QCOMPARE(JsonRecord(records[1]).value(QStringLiteral("firmware")).toString(),
             QStringLiteral("2.05"));

    const Junit junit(JunitReport(records));
    QVERIFY(junit.valid);
    QCOMPARE(junit.suites.keys(), (QStringList{faultyName, "G1", "R1", "S1"}));
    for (const QXmlStreamAttributes &suite : junit.suites) {
        for (const char *name :
             {"tests", "failures", "errors", "skipped", "time", "timestamp", "hostname"})
            QVERIFY2(suite.hasAttribute(QLatin1String(name)), name);
    }
    const auto attribute = [&](const QString &suite, const char *name) {
        return junit.suites[suite].value(QLatin1String(name)).toString();
    };
    QCOMPARE(attribute(faultyName, "tests"), QStringLiteral("24"));
    QCOMPARE(attribute(faultyName, "failures"), QStringLiteral("2"));
    QCOMPARE(junit.cases[faultyName], 24);
    QCOMPARE(junit.messages[faultyName],
             (QStringList{"failure: crossed: output 7 drives input 9",
                          "failure: crossed: output 9 drives input 7"}));
    QCOMPARE(attribute(QStringLiteral("G1"), "failures"), QStringLiteral("0"));
    QCOMPARE(junit.messages[QStringLiteral("G1")], QStringList());
    QCOMPARE(attribute(QStringLiteral("R1"), "errors"), QStringLiteral("1"));
    QCOMPARE(junit.messages[QStringLiteral("R1")], QStringList{"error: " + outcomes[3]});
    QVERIFY(
        QDateTime::fromString(attribute(QStringLiteral("R1"), "timestamp"), Qt::ISODate).isValid());
}

// Stopped mid-rack, every box under way gets its outputs back and the boxes not begun are
// left alone, each with a record that says so.
void tst_Rack::stopRestoresEveryBox() {
    const auto first = box();
    const auto second = box();
    const auto third = box();
    QList<RackBox> boxes;
    for (const auto *device : {first.get(), second.get(), third.get()}) {
        boxes << rackBox(device->serverPort(), QString());
        boxes.back().settings.settleMs = 60000;
    }
    RackRun run(boxes, 2, QString());
    QSignalSpy finished(&run, &RackRun::finished);
    run.start();
    QTRY_VERIFY_WITH_TIMEOUT(first->outputs() == sim::AllOff && second->outputs() == sim::AllOff,
                             Patience);
    run.stop(QStringLiteral("interrupted by SIGINT"));
    QVERIFY(finished.count() == 1 || finished.wait(Patience));
    QStringList outcomes;
    for (const BoxRecord &record : run.records())
        outcomes << OutcomeText(record);
    const QString restored = QStringLiteral(
        "not checked: interrupted by SIGINT; the outputs were put back as they were (FD FF FF)");
    QCOMPARE(outcomes, (QStringList{restored, restored,
                                    "not checked: interrupted by SIGINT before its turn; the "
                                    "outputs were not changed"}));
    QTRY_COMPARE_WITH_TIMEOUT(first->outputs(), OutputsBefore, Patience);
    QTRY_COMPARE_WITH_TIMEOUT(second->outputs(), OutputsBefore, Patience);
    QCOMPARE(third->outputs(), OutputsBefore);
    QCOMPARE(third->received().size(), 0);
}

QTEST_GUILESS_MAIN(tst_Rack)
#include "tst_rack.moc"
