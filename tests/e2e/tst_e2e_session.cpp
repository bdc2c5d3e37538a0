#include "FakeSerialPort.h"
#include "SimulatedDevice.h"
#include "app/SessionRecord.h"
#include "app/StartupOptions.h"
#include "app/Tester.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Patience = 30000;

QStringList fileLines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The seconds since Connect that a device line starts with.
double sinceConnect(const QString &text) {
    return text.left(9).trimmed().toDouble();
}

} // namespace

// Started with --address, --port, --connect and --record against the simulated device on
// 127.0.0.1: the device sees the connection without a click and the record holds every line.
class tst_E2eSession : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }
    void optionsConnectAndRecordEveryLine();
    void programStartedWithOptions();
};

void tst_E2eSession::optionsConnectAndRecordEveryLine() {
    sim::SimulatedDevice device;
    QVERIFY(device.listen(QHostAddress::LocalHost, 0));
    device.setWalkPeriod(2);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.log"));
    QCoreApplication::setApplicationName(QStringLiteral("VORN GPI Tester"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));

    SessionRecord record;
    QVERIFY(record.open(path));
    SystemClock clock;
    TcpDeviceSocket socket;
    FakeSerialPort serial;
    Tester tester(socket, clock, serial, &record);
    Form1 &w = tester.form();
    w.show();
    StartupOptions options;
    options.address = QStringLiteral("127.0.0.1");
    options.port = QString::number(device.serverPort());
    options.connect = true;
    applyStartupOptions(options, tester);

    QTRY_VERIFY_WITH_TIMEOUT(device.hasConnection(), Patience);
    QTRY_VERIFY_WITH_TIMEOUT(w.session.count() > 400, Patience);
    w.Disconnect->click();
    QTRY_VERIFY_WITH_TIMEOUT(!device.hasConnection(), Patience);
    QCOMPARE(w.ListBox->count(), 100);

    // Every line in the order logged, Disconnect last, already in the file at the click.
    QStringList expected;
    for (int i = 0; i < w.session.count(); ++i)
        expected << w.session.line(i);
    QCOMPARE(w.session.dropped(), 0);
    QCOMPARE(expected.last(), QStringLiteral("Disconnect"));
    QStringList recorded = fileLines(path).mid(1);
    for (QString &line : recorded)
        line.remove(0, 30);
    QCOMPARE(recorded, expected);
    QCOMPARE(expected[1], QStringLiteral("Connect"));
    QVERIFY(expected.filter(QStringLiteral(" GPI Input")).size() > 300);
}

void tst_E2eSession::programStartedWithOptions() {
    sim::SimulatedDevice device;
    QVERIFY(device.listen(QHostAddress::LocalHost, 0));
    device.setWalkPeriod(5);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.log"));
    QProcess tester;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    tester.setProcessEnvironment(environment);
    tester.start(QStringLiteral(VORN_GPI_PROGRAM),
                 {QStringLiteral("--address"), QStringLiteral("127.0.0.1"),
                  QStringLiteral("--port"), QString::number(device.serverPort()),
                  QStringLiteral("--connect"), QStringLiteral("--record"), path});
    QVERIFY(tester.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(device.hasConnection(), Patience);
    // The lines reach the file while the tester runs.
    QTRY_VERIFY_WITH_TIMEOUT(fileLines(path).filter(QStringLiteral(" GPI Input")).size() > 200,
                             Patience);
    tester.kill();
    tester.waitForFinished();

    const QStringList lines = fileLines(path);
    QVERIFY(lines[0].startsWith(QLatin1String("VORN GPI Tester 1.4.14 started ")));
    QVERIFY(lines[1].mid(30).startsWith(QLatin1String("Timer resolution = ")));
    QCOMPARE(lines[2].mid(30), QStringLiteral("Connect"));
    double previous = 0;
    for (const QString &line : lines.mid(3)) {
        QVERIFY2(line.endsWith(QLatin1String(" GPI Input")), qPrintable(line));
        const double at = sinceConnect(line.mid(30));
        QVERIFY2(at >= previous, qPrintable(line));
        previous = at;
    }
}

QTEST_MAIN(tst_E2eSession)
#include "tst_e2e_session.moc"
