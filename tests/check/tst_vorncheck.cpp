#include "SimulatedDevice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Patience = 30000;
constexpr sim::GpiBits OutputsBefore = sim::AllOff & ~(1u << 1); // output 2 on

// vorn-check as a program, its output kept; waits without blocking the simulated box, which
// runs in the test's own event loop.
struct Check {
    explicit Check(const QStringList &arguments) {
        process.start(QStringLiteral(VORN_CHECK_PROGRAM), arguments);
    }
    ~Check() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    // The exit status, or -1 when it did not end in time.
    int finish() {
        if (process.state() != QProcess::NotRunning &&
            !QSignalSpy(&process, &QProcess::finished).wait(Patience))
            return -1;
        out = QString::fromUtf8(process.readAllStandardOutput());
        err = QString::fromUtf8(process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    QProcess process;
    QString out;
    QString err;
};

QStringList boxAt(const sim::SimulatedDevice &device) {
    return {QStringLiteral("--address"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
            QString::number(device.serverPort())};
}

} // namespace

class tst_VornCheck : public QObject {
    Q_OBJECT

private slots:
    void init();
    void passFramesAndJson();
    void faultsNamed();
    void notChecked_data();
    void notChecked();
    void sigtermRestores();

private:
    std::unique_ptr<sim::SimulatedDevice> m_device;
    QTemporaryDir m_dir;
};

void tst_VornCheck::init() {
    m_device = std::make_unique<sim::SimulatedDevice>();
    QVERIFY(m_device->listen(QHostAddress::LocalHost, 0));
    m_device->setOutputs(OutputsBefore);
    m_device->setFollowOutputs(true);
}

// Every frame goes out in one write, in the order of the check, and the report file says what
// standard output says.
void tst_VornCheck::passFramesAndJson() {
    const QString json = m_dir.filePath(QStringLiteral("check.json"));
    Check check(boxAt(*m_device) +
                QStringList{"--gpis", "8", "--report", json, "--format", "json"});
    QCOMPARE(check.finish(), 0);
    QVERIFY2(check.out.startsWith(QStringLiteral("Wiring check of 127.0.0.1 port %1, firmware "
                                                 "v2.05\nDate: ")
                                      .arg(m_device->serverPort())),
             qPrintable(check.out));
    QVERIFY(check.out.contains(QStringLiteral("Map: straight, 8 channels\n")));
    QVERIFY(check.out.endsWith(QStringLiteral("\nPASS\n")));
    QVERIFY(check.err.isEmpty());

    QStringList expected{"ff0002", "ff0005",         "ff000004ffffff",
                         "ff0001", "ff00000400ffff", "ff0001"};
    for (int i = 0; i < 8; ++i)
        expected << QStringLiteral("ff000004%1ffff").arg(0xFF & ~(1 << i), 2, 16, QLatin1Char('0'))
                 << QStringLiteral("ff0001");
    expected << QStringLiteral("ff000004fdffff");
    QTRY_COMPARE_WITH_TIMEOUT(m_device->received().size(), expected.size(), Patience);
    QStringList received;
    for (const sim::SimFrame &frame : m_device->received())
        received << QString::fromLatin1(frame.bytes.toHex());
    QCOMPARE(received, expected);
    QCOMPARE(m_device->stats().splitByTester, 0);

    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject report = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(report.value(QStringLiteral("result")).toString(), QStringLiteral("PASS"));
    QCOMPARE(report.value(QStringLiteral("firmware")).toString(), QStringLiteral("2.05"));
    const QJsonArray channels = report.value(QStringLiteral("channels")).toArray();
    QCOMPARE(channels.size(), 8);
    const QJsonObject seventh = channels.at(6).toObject();
    QCOMPARE(seventh.value(QStringLiteral("output")).toInt(), 7);
    QCOMPARE(seventh.value(QStringLiteral("expectedInput")).toInt(), 7);
    QCOMPARE(seventh.value(QStringLiteral("inputsSeen")).toArray(), QJsonArray{7});
    QCOMPARE(seventh.value(QStringLiteral("verdict")).toString(), QStringLiteral("OK"));
    QVERIFY(seventh.value(QStringLiteral("responseMs")).isDouble());
}

void tst_VornCheck::faultsNamed() {
    m_device->setWireFaults({sim::parseWireFault(QStringLiteral("short:5,6")).fault,
                             sim::parseWireFault(QStringLiteral("stuck-on:20")).fault});
    Check check(boxAt(*m_device));
    QCOMPARE(check.finish(), 1);
    for (const char *line :
         {"     5      5    ", "  shorted: output 5 also drives input 6\n",
          "  shorted: output 6 also drives input 5\n",
          "  stuck on: input 20 is on with every output off\n", "\nFAIL: 3 of 24 channels\n"})
        QVERIFY2(check.out.contains(QLatin1String(line)), line);
    QVERIFY(check.out.endsWith(QStringLiteral("\nFAIL: 3 of 24 channels\n")));
    QTRY_COMPARE_WITH_TIMEOUT(m_device->outputs(), OutputsBefore, Patience);
}

void tst_VornCheck::notChecked_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("map");
    QTest::addColumn<QString>("message");
    // clang-format off
    QTest::newRow("no address") << QStringList{"--port", "23"} << QByteArray() << "--address is required";
    QTest::newRow("host name") << QStringList{"--address", "vorn.local"} << QByteArray() << "--address: 'vorn.local' is not an IP address";
    QTest::newRow("port 0") << QStringList{"--address", "127.0.0.1", "--port", "0"} << QByteArray() << "--port: '0' is not a whole number from 1 to 65535";
    QTest::newRow("12 GPIs") << QStringList{"--address", "127.0.0.1", "--gpis", "12"} << QByteArray() << "--gpis: '12' is neither 8 nor 24";
    QTest::newRow("negative settle") << QStringList{"--address", "127.0.0.1", "--settle", "-1"} << QByteArray() << "--settle: '-1'";
    QTest::newRow("format") << QStringList{"--address", "127.0.0.1", "--format", "xml"} << QByteArray() << "--format: 'xml' is none of text, json and junit";
    QTest::newRow("stray argument") << QStringList{"--address", "127.0.0.1", "23"} << QByteArray() << "unexpected argument '23'";
    QTest::newRow("unknown option") << QStringList{"--fast"} << QByteArray() << "Unknown option 'fast'";
    QTest::newRow("bad map line") << QStringList{"--address", "127.0.0.1"} << QByteArray("1 1\n# x\n2 two\n") << "harness.map, line 3: input: 'two' is not a whole number from 1 to 24";
    QTest::newRow("refused") << QStringList{"--address", "127.0.0.1", "--port", "REFUSING"} << QByteArray() << "127.0.0.1 port REFUSING refused the connection; the outputs were not changed";
    // clang-format on
}

void tst_VornCheck::notChecked() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, map);
    QFETCH(QString, message);
    if (arguments.contains(QStringLiteral("REFUSING"))) {
        // A port that was free a moment ago: nothing listens on it.
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        const QString port = QString::number(server.serverPort());
        server.close();
        arguments.replaceInStrings(QStringLiteral("REFUSING"), port);
        message.replace(QStringLiteral("REFUSING"), port);
        arguments << QStringLiteral("--report") << m_dir.filePath(QStringLiteral("refused.json"))
                  << QStringLiteral("--format") << QStringLiteral("json");
    }
    if (!map.isEmpty()) {
        QFile file(m_dir.filePath(QStringLiteral("harness.map")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(map);
        arguments << QStringLiteral("--map") << file.fileName();
    }
    Check check(arguments);
    QCOMPARE(check.finish(), 2);
    QVERIFY2(check.err.contains(message), qPrintable(check.err));
    QVERIFY(check.out.isEmpty());
    // A box that could not be checked still has its record.
    QFile report(m_dir.filePath(QStringLiteral("refused.json")));
    if (arguments.contains(report.fileName())) {
        QVERIFY(report.open(QIODevice::ReadOnly));
        const QJsonObject record = QJsonDocument::fromJson(report.readAll()).object();
        QCOMPARE(record.value(QStringLiteral("outcome")).toString(), QStringLiteral("error"));
        QCOMPARE(record.value(QStringLiteral("result")).toString(),
                 QStringLiteral("not checked: ") + message);
    }
}

void tst_VornCheck::sigtermRestores() {
    Check check(boxAt(*m_device) + QStringList{"--settle", "60000"});
    QSignalSpy changed(m_device.get(), &sim::SimulatedDevice::outputsChanged);
    QVERIFY(changed.wait(Patience));
    QCOMPARE(m_device->outputs(), sim::AllOff);
    check.process.terminate();
    QCOMPARE(check.finish(), 2);
    QVERIFY2(check.err.contains(QStringLiteral("interrupted by SIGTERM; the outputs were put back "
                                               "as they were (FD FF FF)")),
             qPrintable(check.err));
    QTRY_COMPARE_WITH_TIMEOUT(m_device->outputs(), OutputsBefore, Patience);
}

QTEST_GUILESS_MAIN(tst_VornCheck)
#include "tst_vorncheck.moc"
