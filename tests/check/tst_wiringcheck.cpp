#include "SimulatedDevice.h"
#include "Wiring.h"
#include "WiringCheck.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr int Patience = 30000;
// Outputs 2 and 17 on, as the box held them before the check.
constexpr sim::GpiBits OutputsBefore = sim::AllOff & ~(1u << 1) & ~(1u << 16);

// The check against the simulated box on 127.0.0.1, its inputs following its outputs
// through the wiring faults given.
struct Rig {
    explicit Rig(const QStringList &faults = {}) {
        listening = device.listen(QHostAddress::LocalHost, 0);
        device.setOutputs(OutputsBefore);
        device.setFollowOutputs(true);
        QList<sim::WireFault> wiring;
        for (const QString &text : faults)
            wiring << sim::parseWireFault(text).fault;
        device.setWireFaults(wiring);
        QObject::connect(&device, &sim::SimulatedDevice::outputsChanged, &device,
                         [this] { onOutputs(++outputChanges); });
    }

    bool run(CheckSettings settings = {}) {
        settings.address = QHostAddress::LocalHost;
        settings.port = device.serverPort();
        check = std::make_unique<WiringCheck>(settings);
        QSignalSpy finished(check.get(), &WiringCheck::finished);
        check->start();
        return finished.wait(Patience);
    }

    // "7: crossed: output 7 drives input 9" for each channel that is not OK.
    QStringList faultLines() const {
        QStringList lines;
        for (const ChannelResult &channel : check->result().channels) {
            if (!channel.verdict.ok())
                lines << QStringLiteral("%1: %2")
                             .arg(channel.channel.output + 1)
                             .arg(channel.verdict.findings.join(QStringLiteral("; ")));
        }
        return lines;
    }

    sim::SimulatedDevice device;
    bool listening = false;
    std::unique_ptr<WiringCheck> check;
    int outputChanges = 0;
    std::function<void(int)> onOutputs = [](int) {};
};

} // namespace

class tst_WiringCheck : public QObject {
    Q_OBJECT

private slots:
    void diagnosis_data();
    void diagnosis();
    void linkFaults_data();
    void linkFaults();
};

void tst_WiringCheck::diagnosis_data() {
    QTest::addColumn<QStringList>("faults");
    QTest::addColumn<int>("gpis");
    QTest::addColumn<QByteArray>("map");
    QTest::addColumn<QStringList>("expected");
    // clang-format off
    QTest::newRow("straight") << QStringList{} << 24 << QByteArray() << QStringList{};
    QTest::newRow("stuck on") << QStringList{"stuck-on:12"} << 24 << QByteArray() << QStringList{"12: stuck on: input 12 is on with every output off"};
    QTest::newRow("open") << QStringList{"open:3"} << 24 << QByteArray() << QStringList{"3: open: input 3 never follows output 3"};
    QTest::newRow("crossed") << QStringList{"cross:7,9"} << 24 << QByteArray() << QStringList{"7: crossed: output 7 drives input 9", "9: crossed: output 9 drives input 7"};
    QTest::newRow("shorted") << QStringList{"short:5,6"} << 24 << QByteArray() << QStringList{"5: shorted: output 5 also drives input 6", "6: shorted: output 6 also drives input 5"};
    QTest::newRow("one of each") << QStringList{"stuck-on:1", "open:2", "cross:3,4", "short:23,24"} << 24 << QByteArray()
        << QStringList{"1: stuck on: input 1 is on with every output off", "2: open: input 2 never follows output 2", "3: crossed: output 3 drives input 4",
                       "4: crossed: output 4 drives input 3", "23: shorted: output 23 also drives input 24", "24: shorted: output 24 also drives input 23"};
    QTest::newRow("crossed into a short") << QStringList{"cross:7,9", "short:9,10"} << 24 << QByteArray()
        << QStringList{"7: crossed: output 7 drives input 9", "9: crossed: output 9 drives inputs 7 and 10", "10: shorted: output 10 also drives input 7"};
    QTest::newRow("open beside a stuck input") << QStringList{"open:4", "stuck-on:5"} << 24 << QByteArray()
        << QStringList{"4: open: input 4 never follows output 4", "5: stuck on: input 5 is on with every output off"};
    QTest::newRow("8 GPIs, map of a crossed harness") << QStringList{"cross:1,2", "stuck-on:12"} << 8 << QByteArray("1 2\n2 1\n3 3\n8 8\n") << QStringList{};
    QTest::newRow("8 GPIs, straight map on a crossed harness") << QStringList{"cross:1,2"} << 8 << QByteArray("1 1\n2 2\n")
        << QStringList{"1: crossed: output 1 drives input 2", "2: crossed: output 2 drives input 1"};
    // clang-format on
}

void tst_WiringCheck::diagnosis() {
    QFETCH(QStringList, faults);
    QFETCH(int, gpis);
    QFETCH(QByteArray, map);
    QFETCH(QStringList, expected);
    Rig rig(faults);
    QVERIFY(rig.listening);
    CheckSettings settings;
    settings.gpis = gpis;
    settings.settleMs = 5;
    settings.map = map.isEmpty() ? StraightMap(gpis) : ParseWiringMap(map, gpis).map;
    QVERIFY(rig.run(settings));
    QCOMPARE(rig.check->outcome(),
             expected.isEmpty() ? WiringCheck::Outcome::Pass : WiringCheck::Outcome::Fail);
    QCOMPARE(rig.faultLines(), expected);
    QCOMPARE(rig.check->result().channels.size(), settings.map.channels.size());
    QCOMPARE(rig.check->result().firmware, QStringLiteral("2.05"));
    // The outputs are back as they were, by the last frame the box got.
    QTRY_COMPARE_WITH_TIMEOUT(rig.device.outputs(), OutputsBefore, Patience);
    QCOMPARE(rig.device.received().last().bytes, QByteArray::fromHex("ff000004fdfffe"));
}

void tst_WiringCheck::linkFaults_data() {
    QTest::addColumn<int>("atChange");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("restored");
    // clang-format off
    QTest::newRow("answers split and joined") << 1 << "split, coalesce" << QString() << true;
    QTest::newRow("box stops answering") << 3 << "delay" << "no answer to the input status request (FF 00 01) within 300 ms, step 3 of 26" << true;
    QTest::newRow("box sends garbage") << 3 << "garbage" << "the box sent bytes that begin no frame it sends: DE AD BE EF" << true;
    QTest::newRow("box closes") << 3 << "close" << "the box closed the connection" << false;
    // clang-format on
}

// The outputs go back on every way out while the link stands; the byte stream is cut into
// frames however the box's writes reach the check.
void tst_WiringCheck::linkFaults() {
    QFETCH(int, atChange);
    QFETCH(QString, fault);
    QFETCH(QString, error);
    QFETCH(bool, restored);
    Rig rig;
    rig.device.setSplitGap(1);
    rig.onOutputs = [&](int change) {
        if (fault.startsWith(QLatin1String("split"))) {
            // Every other answer in two writes, the rest joined with the next.
            if (change % 2)
                rig.device.splitNextFrame(3);
            else
                rig.device.coalesceNextTwo();
        } else if (change == atChange && fault == QLatin1String("delay")) {
            rig.device.setAnswerDelay(60000);
        } else if (change == atChange && fault == QLatin1String("garbage")) {
            rig.device.sendGarbage();
        } else if (change == atChange && fault == QLatin1String("close")) {
            rig.device.closeConnection();
        }
    };
    CheckSettings settings;
    settings.settleMs = 5;
    settings.timeoutMs = 300;
    QVERIFY(rig.run(settings));
    QCOMPARE(rig.check->error(), error);
    QCOMPARE(rig.check->outcome(),
             error.isEmpty() ? WiringCheck::Outcome::Pass : WiringCheck::Outcome::Error);
    QCOMPARE(rig.check->outputsRestored(), restored);
    if (restored)
        QTRY_COMPARE_WITH_TIMEOUT(rig.device.outputs(), OutputsBefore, Patience);
    else
        QVERIFY(rig.device.outputs() != OutputsBefore);
}

QTEST_GUILESS_MAIN(tst_WiringCheck)
#include "tst_wiringcheck.moc"
