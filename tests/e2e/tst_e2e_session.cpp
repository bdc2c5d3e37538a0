#include "FakeSerialPort.h"
#include "SimulatedDevice.h"
#include "app/SessionRecord.h"
#include "app/StartupOptions.h"
#include "app/Tester.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Patience = 30000;

QStringList fileLines(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts)
               : QStringList();
}

} // namespace

// Started with --address, --port, --connect and --record against the simulated device on
// 127.0.0.1 that walks its inputs: the device sees the connection without a click, and the
// record holds every log line in order, each after its local time.
class tst_E2eSession : public QObject {
    Q_OBJECT

private slots:
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
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    SessionRecord record;
    QVERIFY(record.open(path));
    SystemClock clock;
    TcpDeviceSocket socket;
    FakeSerialPort serial;
    Tester tester(socket, clock, serial, &record);
    Form1 &w = tester.form();
    w.show();
    const QString port = QString::number(device.serverPort());
    applyStartupOptions(
        parseStartupOptions({"t", "--address", "127.0.0.1", "--port", port, "--connect"}), tester);
    QTRY_VERIFY_WITH_TIMEOUT(device.hasConnection(), Patience);
    QTRY_VERIFY_WITH_TIMEOUT(w.session.count() > 400, Patience);
    // Disconnect hands the record to the file at once.
    w.Disconnect->click();
    const QStringList lines = fileLines(path);
    QCOMPARE(w.ListBox->count(), 100);

    // A header line, then each line after its local time with milliseconds and UTC offset.
    QCOMPARE(lines.size(), 1 + w.session.count());
    const QRegularExpression stamped(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d )");
    qint64 previous = start;
    for (int i = 1; i < lines.size(); ++i) {
        QVERIFY2(stamped.match(lines[i]).hasMatch(), qPrintable(lines[i]));
        QCOMPARE(lines[i].mid(30), w.session.line(i - 1));
        const qint64 at =
            QDateTime::fromString(lines[i].left(29), Qt::ISODateWithMs).toMSecsSinceEpoch();
        QVERIFY(at >= previous);
        previous = at;
    }
    QCOMPARE(w.session.line(1), QStringLiteral("Connect"));
    QCOMPARE(lines.last().mid(30), QStringLiteral("Disconnect"));
}

void tst_E2eSession::programStartedWithOptions() {
    sim::SimulatedDevice device;
    QVERIFY(device.listen(QHostAddress::LocalHost, 0));
    device.setWalkPeriod(5);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.log"));
    QProcess tester;
    // The stamps' decimal point, whatever the machine's locale.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    tester.setProcessEnvironment(environment);
    tester.start(QStringLiteral(VORN_GPI_PROGRAM),
                 {"--address", "127.0.0.1", "--port", QString::number(device.serverPort()),
                  "--connect", "--record", path});
    QTRY_VERIFY_WITH_TIMEOUT(device.hasConnection(), Patience);
    // The lines reach the file while the tester runs.
    QTRY_VERIFY_WITH_TIMEOUT(fileLines(path).filter(QStringLiteral(" GPI Input")).size() > 200,
                             Patience);
    tester.kill();
    tester.waitForFinished();
    const QStringList lines = fileLines(path);
    QVERIFY(lines[0].startsWith(QLatin1String("VORN GPI Tester 1.4.14 started 2")));
    QVERIFY(lines[1].mid(30).startsWith(QLatin1String("Timer resolution = ")));
    QCOMPARE(lines[2].mid(30), QStringLiteral("Connect"));
    // In order: the seconds since Connect that each line starts with only grow.
    double previous = 0;
    for (const QString &line : lines.mid(3)) {
        QVERIFY2(line.endsWith(QLatin1String(" GPI Input")), qPrintable(line));
        const double at = line.mid(30, 9).trimmed().toDouble();
        QVERIFY2(at >= previous, qPrintable(line));
        previous = at;
    }
}

QTEST_MAIN(tst_E2eSession)
#include "tst_e2e_session.moc"
