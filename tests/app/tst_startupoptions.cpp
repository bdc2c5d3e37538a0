#include "TesterFixture.h"
#include "app/StartupOptions.h"

#include <QProcess>
#include <QtTest>

class tst_StartupOptions : public QObject {
    Q_OBJECT

private slots:
    void boxesAsTypedAndConnectPressedOnce();
    void programExits_data();
    void programExits();
};

void tst_StartupOptions::boxesAsTypedAndConnectPressedOnce() {
    TesterFixture f;
    const StartupOptions options = parseStartupOptions(
        {"vorn-gpi-tester", "--address", "127.0.0.1", "--port=4141", "--connect"});
    QCOMPARE(options.outcome, StartupOptions::Outcome::Run);
    f.form().show();
    applyStartupOptions(options, *f.tester);
    QCOMPARE(f.form().Vorn_Address->currentText(), QStringLiteral("127.0.0.1"));
    // The port box's own check, with its log line.
    QCOMPARE(f.form().Vorn_Port->text(), QStringLiteral("23"));
    QCOMPARE(f.log().last(), QStringLiteral("Port 4141 is reserved for configuration"));
    // Connect is pressed once the first link-status tick has unlocked it, and only once.
    QTest::qWait(20);
    QVERIFY(f.socket.connects.isEmpty());
    f.disconnectNow();
    QTRY_COMPARE(f.socket.connects.size(), 1);
    QCOMPARE(f.socket.connects[0].host, QStringLiteral("127.0.0.1"));
    QCOMPARE(f.log().last(), QStringLiteral("Connect"));
    f.connectNow();
    f.disconnectNow();
    QTest::qWait(20);
    QCOMPARE(f.socket.connects.size(), 1);
}

void tst_StartupOptions::programExits_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString gpi = QStringLiteral(VORN_GPI_PROGRAM);
    const QString zed8 = QStringLiteral(VORN_ZED8_PROGRAM);
    const QString usage = QStringLiteral("\n\nUsage: ");
    QTest::newRow("unknown option") << gpi << QStringList{"--conect"} << 2 << ""
                                    << "Unknown option 'conect'." + usage;
    QTest::newRow("missing value") << zed8 << QStringList{"--port", "23", "--address"} << 2 << ""
                                   << "Missing value after '--address'." + usage;
    QTest::newRow("stray argument") << gpi << QStringList{"x"} << 2 << ""
                                    << "Unexpected argument 'x'." + usage;
    QTest::newRow("record folder not there")
        << zed8 << QStringList{"--record", "/nonexistent/r.log"} << 2 << ""
        << "cannot open the session record /nonexistent/r.log";
    QTest::newRow("record on a full disk") << gpi << QStringList{"--record", "/dev/full"} << 2 << ""
                                           << "No space left on device";
    QTest::newRow("help") << gpi << QStringList{"--help"} << 0 << "--record <file>"
                          << "";
    QTest::newRow("version") << zed8 << QStringList{"--version"} << 0 << "VORN ZED8 Tester 1.4.13\n"
                             << "";
}

void tst_StartupOptions::programExits() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess process;
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), status);
    const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.contains(out), qPrintable(stdOut));
    const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
}

QTEST_MAIN(tst_StartupOptions)
#include "tst_startupoptions.moc"
