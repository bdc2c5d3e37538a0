#include "EventJson.h"
#include "InputBounce.h"
#include "Monitor.h"
#include "SimulatedDevice.h"
#include "VcdWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

constexpr int Patience = 10000;

// The monitor against the simulated box, its events kept as the JSON lines it prints.
struct Watch {
    explicit Watch(sim::SimulatedDevice &device, MonSettings settings = {}) {
        settings.address = QHostAddress(QStringLiteral("127.0.0.1"));
        settings.port = device.serverPort();
        monitor = std::make_unique<Monitor>(settings);
        QObject::connect(monitor.get(), &Monitor::happened, [this](const MonEvent &e) {
            QJsonParseError error;
            const QByteArray line = EventJson(e);
            events << QJsonDocument::fromJson(line, &error).object();
            QVERIFY2(error.error == QJsonParseError::NoError && line.count('\n') == 1,
                     line.constData());
            if (vcd)
                vcd->write(e);
        });
        QObject::connect(monitor.get(), &Monitor::finished,
                         [this](int s, const QString &) { status = s; });
        monitor->start();
    }
    QList<QJsonObject> of(const QString &kind) const {
        QList<QJsonObject> found;
        for (const QJsonObject &e : events) {
            if (e.value(QStringLiteral("event")).toString() == kind)
                found << e;
        }
        return found;
    }
    // "7 on", "5 off short": each edge, in order.
    QStringList edges() const {
        QStringList found;
        for (const QJsonObject &e : of(QStringLiteral("edge")))
            found << QStringLiteral("%1 %2%3")
                         .arg(e.value(QStringLiteral("gpi")).toInt())
                         .arg(e.value(QStringLiteral("on")).toBool() ? "on" : "off")
                         .arg(e.value(QStringLiteral("short")).toBool() ? " short" : "");
        return found;
    }

    std::unique_ptr<Monitor> monitor;
    VcdWriter *vcd = nullptr;
    QList<QJsonObject> events;
    int status = -1;
};

using Drive = std::function<void(sim::SimulatedDevice &)>;

// What the monitor sent is only ever the three status requests.
void verifyReadOnly(const sim::SimulatedDevice &device) {
    const QList<QByteArray> allowed{QByteArray::fromHex("ff0001"), QByteArray::fromHex("ff0005"),
                                    QByteArray::fromHex("ff0002")};
    QVERIFY(!device.received().isEmpty());
    for (const sim::SimFrame &frame : device.received())
        QVERIFY2(allowed.contains(frame.bytes), frame.bytes.toHex(' ').constData());
}

} // namespace

class tst_Monitor : public QObject {
    Q_OBJECT

private slots:
    void init();
    void edges_data();
    void edges();
    void reconnectAfterGap();
    void vcdReadBack();
    void badNames_data();
    void badNames();

private:
    std::unique_ptr<sim::SimulatedDevice> m_device;
};

void tst_Monitor::init() {
    m_device = std::make_unique<sim::SimulatedDevice>();
    QVERIFY(m_device->listen(QHostAddress(QStringLiteral("127.0.0.1")), 0));
    m_device->setInputs(sim::AllOff & ~(1u << 2)); // input 3 on
    m_device->setFirmware(3, 7);
}

void tst_Monitor::edges_data() {
    QTest::addColumn<Drive>("drive");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("skipped");

    QTest::newRow("one change, two lines") << Drive([](sim::SimulatedDevice &d) {
        d.setInputs(sim::AllOff & ~(1u << 6)); // 3 off, 7 on
    }) << QStringList{"3 off", "7 on"} << 0;
    // Three reports in one write, and garbage between two of them: every edge is read.
    QTest::newRow("burst in one read, garbage skipped") << Drive([](sim::SimulatedDevice &d) {
        d.sendRaw(QByteArray::fromHex("ff000004fbffff"
                                      "ff000004ffffff"
                                      "deadbeef"
                                      "ff000004feffff"
                                      "ff000004feffff"));
    }) << QStringList{"3 off", "1 on"} << 4;
    QTest::newRow("bounce under --min-pulse") << Drive([](sim::SimulatedDevice &d) {
        auto *bounce = new sim::InputBounce(d, 4, 3, &d);
        bounce->start();
    }) << QStringList{"5 on", "5 off short", "5 on short"}
                                              << 0;
}

// The start state, then the edges the box reports, each once, with its width and count.
void tst_Monitor::edges() {
    QFETCH(Drive, drive);
    QFETCH(QStringList, expected);
    QFETCH(int, skipped);
    MonSettings settings;
    settings.minPulseMs = 1000;
    settings.outputs = true;
    settings.names = {{7, QStringLiteral("Studio A on-air")}};
    Watch watch(*m_device, settings);
    QTRY_COMPARE_WITH_TIMEOUT(watch.of(QStringLiteral("state")).size(), 1, Patience);
    const QJsonObject state = watch.events.first();
    QCOMPARE(state.value(QStringLiteral("firmware")).toString(), QStringLiteral("3.07"));
    QJsonArray inputs(QJsonArray::fromVariantList(QVariantList(24, false)));
    inputs[2] = true;
    QCOMPARE(state.value(QStringLiteral("inputs")).toArray(), inputs);
    QCOMPARE(state.value(QStringLiteral("outputs")).toArray().size(), 24);

    drive(*m_device);
    QTRY_COMPARE_WITH_TIMEOUT(watch.edges().size(), expected.size(), Patience);
    QTest::qWait(50); // nothing more comes
    watch.monitor->stop(QStringLiteral("test"));
    QCOMPARE(watch.edges(), expected);
    QCOMPARE(watch.status, 0);

    const QList<QJsonObject> edges = watch.of(QStringLiteral("edge"));
    QVERIFY(edges.first().value(QStringLiteral("widthAtLeast")).toBool());
    for (const QJsonObject &e : edges) {
        if (e.value(QStringLiteral("gpi")).toInt() == 7)
            QCOMPARE(e.value(QStringLiteral("name")).toString(), QStringLiteral("Studio A on-air"));
    }
    const QJsonObject summary =
        watch.of(QStringLiteral("summary")).first().value(QStringLiteral("summary")).toObject();
    QCOMPARE(summary.value(QStringLiteral("edges")).toInt(), expected.size());
    QCOMPARE(summary.value(QStringLiteral("skippedBytes")).toInt(), skipped);
    verifyReadOnly(*m_device);
}

// The box closes and comes back: one link lost, one link back, and the line that moved in
// the gap reported as changed unseen.
void tst_Monitor::reconnectAfterGap() {
    MonSettings settings;
    settings.reconnect = true;
    Watch watch(*m_device, settings);
    QTRY_COMPARE_WITH_TIMEOUT(watch.of(QStringLiteral("state")).size(), 1, Patience);
    m_device->stopListening();
    m_device->closeConnection();
    QTRY_COMPARE_WITH_TIMEOUT(watch.of(QStringLiteral("link")).size(), 1, Patience);
    m_device->setInput(8, true);
    QTest::qWait(1500); // the first retry (after 1 s) is refused
    QVERIFY(m_device->resumeListening());
    QTRY_COMPARE_WITH_TIMEOUT(watch.of(QStringLiteral("link")).size(), 2, Patience);
    const QList<QJsonObject> link = watch.of(QStringLiteral("link"));
    QCOMPARE(link.at(0).value(QStringLiteral("up")).toBool(), false);
    QCOMPARE(link.at(0).value(QStringLiteral("retryS")).toInt(), 1);
    QCOMPARE(link.at(1).value(QStringLiteral("up")).toBool(), true);
    QCOMPARE(link.at(1).value(QStringLiteral("downS")).toInt(), 3); // 1 s, then 2 s
    QTRY_COMPARE(watch.edges(), QStringList{"9 on"});
    QVERIFY(watch.of(QStringLiteral("edge")).first().value(QStringLiteral("unseen")).toBool());
    QCOMPARE(watch.status, -1);
    verifyReadOnly(*m_device);
}

// The timeline file as a reader takes it: the header's sections, the start state in
// $dumpvars, and each change at a later time than the one before.
void tst_Monitor::vcdReadBack() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.vcd"));
    const GpiNames names{{3, QStringLiteral("Mic live")}};
    VcdWriter vcd(8, false, names, QStringLiteral("vorn-mon test"));
    QString error;
    QVERIFY(vcd.open(path, &error));
    MonSettings settings;
    settings.gpis = 8;
    settings.names = names;
    Watch watch(*m_device, settings);
    watch.vcd = &vcd;
    QTRY_COMPARE_WITH_TIMEOUT(watch.of(QStringLiteral("state")).size(), 1, Patience);
    m_device->setInput(2, false);
    QTest::qWait(5);
    m_device->setInput(2, true);
    QTRY_COMPARE_WITH_TIMEOUT(watch.edges().size(), 2, Patience);
    watch.monitor->stop(QStringLiteral("test"));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList tokens =
        QString::fromUtf8(file.readAll())
            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QMap<QString, QString> wires; // id to name
    QStringList sections;
    QStringList changes; // "time name value" after the definitions
    qint64 time = -1;
    bool inDump = false;
    for (int i = 0; i < tokens.size(); ++i) {
        const QString &t = tokens.at(i);
        if (t == QLatin1String("$var")) {
            QCOMPARE(tokens.at(i + 1), QStringLiteral("wire"));
            QCOMPARE(tokens.at(i + 2), QStringLiteral("1"));
            wires.insert(tokens.at(i + 3), tokens.at(i + 4));
            i += 5;
        } else if (t.startsWith(u'$') && t != QLatin1String("$end")) {
            sections << t;
            inDump = t == QLatin1String("$dumpvars");
            if (t == QLatin1String("$timescale"))
                QCOMPARE(tokens.at(i + 1) + tokens.at(i + 2), QStringLiteral("1us"));
            while (!inDump && tokens.at(i) != QLatin1String("$end"))
                ++i;
        } else if (t.startsWith(u'#')) {
            QVERIFY(t.mid(1).toLongLong() > time);
            time = t.mid(1).toLongLong();
        } else if (t == QLatin1String("$end")) {
            inDump = false;
        } else {
            QVERIFY2(wires.contains(t.mid(1)), qPrintable(t));
            changes << QStringLiteral("%1%2 %3")
                           .arg(inDump ? "dump " : "")
                           .arg(wires.value(t.mid(1)), t.left(1));
        }
    }
    QCOMPARE(sections, (QStringList{"$date", "$version", "$timescale", "$scope", "$upscope",
                                    "$enddefinitions", "$dumpvars"}));
    QCOMPARE(wires.size(), 8);
    QCOMPARE(wires.values().at(2), QStringLiteral("Mic_live"));
    QCOMPARE(changes.size(), 10);
    QCOMPARE(changes.at(2), QStringLiteral("dump Mic_live 1"));
    QCOMPARE(changes.mid(8), (QStringList{"Mic_live 0", "Mic_live 1"}));
}

void tst_Monitor::badNames_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::newRow("number out of range") << "# studio\n1 Mic\n\n9 Fader"
                                         << "line 4: '9' is not a whole number from 1 to 8";
    QTest::newRow("not a number") << "x7 Mic"
                                  << "line 1: 'x7' is not a whole number from 1 to 8";
    QTest::newRow("no name") << "3   # none"
                             << "line 1: GPI 3 has no name";
    QTest::newRow("twice") << "3 A\n3 B"
                           << "line 2: GPI 3 is named twice";
}

void tst_Monitor::badNames() {
    QFETCH(QString, text);
    QFETCH(QString, error);
    QCOMPARE(ParseGpiNames(text, 8).error, error);
}

QTEST_GUILESS_MAIN(tst_Monitor)
#include "tst_monitor.moc"
