#include "TesterFixture.h"
#include "app/StartupOptions.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using Outcome = StartupOptions::Outcome;
Q_DECLARE_METATYPE(StartupOptions::Outcome)

class tst_StartupOptions : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void boxesAsTyped_data();
    void boxesAsTyped();
    void connectPressedOnceUnlocked();
    void programExits_data();
    void programExits();
};

void tst_StartupOptions::parse_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("port");
    QTest::addColumn<bool>("connect");
    QTest::addColumn<QString>("record");
    QTest::addColumn<QString>("text");
    const QString none = QStringLiteral("(none)");
    QTest::newRow("nothing") << QStringList{} << Outcome::Run << none << none << false << none
                             << "";
    QTest::newRow("all") << QStringList{"--address", "127.0.0.1", "--port",    "2323",
                                        "--connect", "--record",  "/tmp/r.log"}
                         << Outcome::Run << "127.0.0.1"
                         << "2323" << true << "/tmp/r.log"
                         << "";
    QTest::newRow("values with = and dashes")
        << QStringList{"--port=-1", "--address", "-x"} << Outcome::Run << "-x"
        << "-1" << false << none << "";
    QTest::newRow("empty values") << QStringList{"--address", "", "--port="} << Outcome::Run << ""
                                  << "" << false << none << "";
    QTest::newRow("help") << QStringList{"--help"} << Outcome::ShowHelp << none << none << false
                          << none << "--record <file>";
    QTest::newRow("version") << QStringList{"--version"} << Outcome::ShowVersion << none << none
                             << false << none << "VORN GPI Tester 1.4.14\n";
    QTest::newRow("help with Qt's options") << QStringList{"--help-all"} << Outcome::ShowFullHelp
                                            << none << none << false << none << "";
    QTest::newRow("unknown option") << QStringList{"--conect"} << Outcome::Fail << none << none
                                    << false << none << "Unknown option 'conect'.";
    QTest::newRow("missing value") << QStringList{"--connect", "--port"} << Outcome::Fail << none
                                   << none << false << none << "Missing value after '--port'.";
    QTest::newRow("stray argument") << QStringList{"127.0.0.1"} << Outcome::Fail << none << none
                                    << false << none << "Unexpected argument '127.0.0.1'.";
}

void tst_StartupOptions::parse() {
    QFETCH(QStringList, arguments);
    QFETCH(Outcome, outcome);
    QFETCH(QString, address);
    QFETCH(QString, port);
    QFETCH(bool, connect);
    QFETCH(QString, record);
    QFETCH(QString, text);
    QCoreApplication::setApplicationName(QStringLiteral("VORN GPI Tester"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));
    const StartupOptions options =
        parseStartupOptions(QStringList{QStringLiteral("vorn-gpi-tester")} + arguments);
    QCOMPARE(options.outcome, outcome);
    const QString none = QStringLiteral("(none)");
    QCOMPARE(options.address.value_or(none), address);
    QCOMPARE(options.port.value_or(none), port);
    QCOMPARE(options.connect, connect);
    QCOMPARE(options.record.value_or(none), record);
    if (outcome == Outcome::ShowVersion)
        QCOMPARE(options.text, text);
    else
        QVERIFY2(options.text.startsWith(text) || options.text.contains(text),
                 qPrintable(options.text));
    // A failure shows the usage after the error.
    if (outcome == Outcome::Fail)
        QVERIFY(options.text.contains(QLatin1String("Usage: ")));
}

void tst_StartupOptions::boxesAsTyped_data() {
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("logged");
    QTest::newRow("a port") << "2323"
                            << "2323"
                            << "";
    QTest::newRow("4141") << "4141"
                          << "23"
                          << "Port 4141 is reserved for configuration";
    QTest::newRow("8000 as 8e3") << "8e3"
                                 << "23"
                                 << "Port 8000 is reserved for GPI Loader";
    QTest::newRow("not a number") << "abc"
                                  << "abc"
                                  << "";
}

void tst_StartupOptions::boxesAsTyped() {
    QFETCH(QString, port);
    QFETCH(QString, box);
    QFETCH(QString, logged);
    TesterFixture f;
    const QStringList before = f.log();
    StartupOptions options;
    options.address = QStringLiteral("127.0.0.1");
    options.port = port;
    applyStartupOptions(options, *f.tester);
    QCOMPARE(f.form().Vorn_Address->currentText(), QStringLiteral("127.0.0.1"));
    QCOMPARE(f.form().Vorn_Port->text(), box);
    QCOMPARE(f.log(), logged.isEmpty() ? before : before + QStringList{logged});
    // Without --connect nothing is pressed.
    f.form().show();
    f.disconnectNow();
    QTest::qWait(20);
    QVERIFY(f.socket.connects.isEmpty());
}

void tst_StartupOptions::connectPressedOnceUnlocked() {
    TesterFixture f;
    StartupOptions options;
    options.address = QStringLiteral("127.0.0.1");
    options.port = QStringLiteral("4141");
    options.connect = true;
    f.form().show();
    applyStartupOptions(options, *f.tester);
    // Connect stays locked until the first link-status tick.
    QVERIFY(!f.form().Connect->isEnabled());
    QTest::qWait(20);
    QVERIFY(f.socket.connects.isEmpty());
    f.disconnectNow();
    QTRY_COMPARE(f.socket.connects.size(), 1);
    QCOMPARE(f.socket.connects[0].host, QStringLiteral("127.0.0.1"));
    QCOMPARE(f.socket.connects[0].port, QStringLiteral("23"));
    QCOMPARE(f.log().last(), QStringLiteral("Connect"));
    // Pressed once: a later unlock, after a Disconnect, presses nothing.
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
    QTest::newRow("unknown option") << gpi << QStringList{"--bogus"} << 2 << ""
                                    << "Unknown option 'bogus'.";
    QTest::newRow("missing value") << zed8 << QStringList{"--port", "23", "--address"} << 2 << ""
                                   << "Missing value after '--address'.";
    QTest::newRow("stray argument") << gpi << QStringList{"x"} << 2 << ""
                                    << "Unexpected argument 'x'.";
    QTest::newRow("record in a folder that is not there")
        << zed8 << QStringList{"--record", "@/gone/record.log"} << 2 << ""
        << "cannot open the session record";
    QTest::newRow("record on a folder") << gpi << QStringList{"--record", "@"} << 2 << ""
                                        << "cannot open the session record";
    QTest::newRow("help") << gpi << QStringList{"--help"} << 0 << "--address <address>"
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
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("@"), dir.path());
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), status);
    const QString stdOut = QString::fromLocal8Bit(process.readAllStandardOutput());
    const QString stdErr = QString::fromLocal8Bit(process.readAllStandardError());
    QVERIFY2(stdOut.contains(out), qPrintable(stdOut));
    QVERIFY2(stdErr.contains(err), qPrintable(stdErr));
    if (status == 2 && arguments.first() != QLatin1String("--record"))
        QVERIFY2(stdErr.contains(QLatin1String("Usage: ")), qPrintable(stdErr));
    // Nothing went to standard output but what was asked for.
    if (out.isEmpty())
        QCOMPARE(stdOut, QString());
}

QTEST_MAIN(tst_StartupOptions)
#include "tst_startupoptions.moc"
