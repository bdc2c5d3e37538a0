#include "SimOptions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QtTest>

namespace {

constexpr int Patience = 20000;

// vorn-sim running with its standard input and output in the test's hands.
struct Program {
    explicit Program(const QStringList &arguments) {
        QObject::connect(&process, &QProcess::readyReadStandardOutput,
                         [this] { output += QString::fromUtf8(process.readAllStandardOutput()); });
        process.start(QStringLiteral(VORN_SIM_PROGRAM), arguments);
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    bool waitFor(const QString &text) {
        return QTest::qWaitFor([&] { return output.contains(text); }, Patience);
    }
    // The port it listens on, from its first line.
    quint16 port() {
        static const QRegularExpression listening(QStringLiteral("listening on [0-9.]+:(\\d+)"));
        if (!QTest::qWaitFor([&] { return listening.match(output).hasMatch(); }, Patience))
            return 0;
        return quint16(listening.match(output).captured(1).toUInt());
    }
    void type(const char *line) {
        process.write(line);
        process.write("\n");
    }

    QProcess process;
    QString output;
};

// Runs vorn-sim to its end; its exit code, with everything it printed.
int runToEnd(const QStringList &arguments, QString *printed) {
    QProcess process;
    process.start(QStringLiteral(VORN_SIM_PROGRAM), arguments);
    process.closeWriteChannel();
    if (!process.waitForFinished(Patience))
        return -1;
    *printed = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    return process.exitCode();
}

} // namespace

class tst_VornSim : public QObject {
    Q_OBJECT

private slots:
    void helpDocumentsEveryCommandAndOption();
    void badCommandLines_data();
    void badCommandLines();
    void session();
    void onConnect();
};

void tst_VornSim::helpDocumentsEveryCommandAndOption() {
    QString help;
    QCOMPARE(runToEnd({QStringLiteral("--help")}, &help), 0);
    QVERIFY(help.startsWith(QStringLiteral("Usage: vorn-sim [options]")));
    // Each command at the start of its help line, and the defaults. The options' lines are
    // made from their own descriptions, so it is enough that none is left without one.
    for (const QCommandLineOption &option : sim::SimOptions().all())
        QVERIFY2(!option.description().isEmpty(), qPrintable(option.names().constLast()));
    QStringList documented;
    for (const char *command : {"help ",
                                "state ",
                                "quit ",
                                "inputs FE FF FF",
                                "inputs on|off",
                                "in N",
                                "report ",
                                "report MS",
                                "walk MS",
                                "follow on|off",
                                "loopback on|off",
                                "fw MAJOR.MINOR",
                                "send BYTES",
                                "pace MS|off",
                                "split [AT]",
                                "split-gap MS",
                                "coalesce ",
                                "delay MS",
                                "garbage ",
                                "short ",
                                "close ",
                                "reset ",
                                "stop ",
                                "listen ",
                                "wire-fault FAULT",
                                "wire-fault clear"})
        documented << QStringLiteral("  ") + QLatin1String(command);
    documented << "127.0.0.1"
               << "2323"
               << "refused";
    for (const QString &text : documented)
        QVERIFY2(help.contains(text), qPrintable(text));
    // The help is also a command.
    Program program({QStringLiteral("--port"), QStringLiteral("0")});
    QVERIFY(program.port() != 0);
    program.type("help");
    QVERIFY(program.waitFor(QStringLiteral("What the device does with each frame")));
}

void tst_VornSim::badCommandLines_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "Unknown option 'frobnicate'";
    QTest::newRow("port not a number") << QStringList{"--port", "abc"} << "--port: 'abc'";
    QTest::newRow("port too big") << QStringList{"--port", "65536"} << "--port: '65536'";
    QTest::newRow("address not an address")
        << QStringList{"--address", "vorn.local"} << "--address: 'vorn.local' is not an IP address";
    QTest::newRow("two input bytes") << QStringList{"--port", "0", "--inputs", "FE FF"}
                                     << "--inputs: inputs: expected three state bytes";
    QTest::newRow("bad firmware") << QStringList{"--port", "0", "--fw", "2"}
                                  << "--fw: fw: expected MAJOR.MINOR";
    QTest::newRow("bad walk") << QStringList{"--port", "0", "--walk", "soon"}
                              << "--walk: walk: expected milliseconds";
    QTest::newRow("wire fault without its second GPI")
        << QStringList{"--port", "0", "--wire-fault", "cross:7"}
        << "--wire-fault: wire-fault: 'cross:7': expected";
    QTest::newRow("bad command to run")
        << QStringList{"--port", "0", "-e", "fly"} << "'fly': unknown command 'fly'";
    QTest::newRow("stray argument") << QStringList{"2323"} << "unexpected argument '2323'";
}

void tst_VornSim::badCommandLines() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QString printed;
    QCOMPARE(runToEnd(arguments, &printed), 2);
    QVERIFY2(printed.contains(message), qPrintable(printed));
}

void tst_VornSim::session() {
    Program program({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--follow"),
                     QStringLiteral("--fw"), QStringLiteral("3.07")});
    const quint16 port = program.port();
    QVERIFY(port != 0);
    QVERIFY(program.waitFor(QStringLiteral("type address 127.0.0.1 and port %1").arg(port)));

    QTcpSocket tester;
    QByteArray received;
    connect(&tester, &QTcpSocket::readyRead, this, [&] { received += tester.readAll(); });
    tester.connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(program.waitFor(QStringLiteral("tester connected")));
    tester.write(QByteArray::fromHex("ff000004dfffff ff0002"));
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray::fromHex("ff000004dfffff ff0000050703"),
                              Patience);
    QVERIFY(program.waitFor(QStringLiteral(" recv FF 00 00 04 DF FF FF  set outputs, on 6")));
    QVERIFY(program.waitFor(QStringLiteral(" send FF 00 00 05 07 03     ID response, firmware "
                                           "v3.07")));

    // Bad input gets a message, and serving goes on.
    program.type("bogus");
    program.type("send FF 0G");
    QVERIFY(program.waitFor(QStringLiteral("error: unknown command 'bogus'")));
    QVERIFY(program.waitFor(QStringLiteral("error: send: bad hex '0G'")));
    program.type("state");
    QVERIFY(program.waitFor(QStringLiteral("outputs: DF FF FF (on 6)")));
    program.type("inputs on");
    QTRY_COMPARE_WITH_TIMEOUT(received.right(7), QByteArray::fromHex("ff000004000000"), Patience);

    // The end of its input does not end it; a signal does, with the summary.
    program.process.closeWriteChannel();
    received.clear();
    tester.write(QByteArray::fromHex("ff0001"));
    QTRY_COMPARE_WITH_TIMEOUT(received, QByteArray::fromHex("ff000004000000"), Patience);
    program.process.terminate();
    QVERIFY(program.process.waitForFinished(Patience));
    QCOMPARE(program.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.process.exitCode(), 0);
    program.output += QString::fromUtf8(program.process.readAllStandardOutput());
    QVERIFY2(program.output.contains(QStringLiteral("Summary")), qPrintable(program.output));
    QVERIFY(program.output.contains(QStringLiteral("frames received: 3")));
    QVERIFY(program.output.contains(QStringLiteral("bytes: 13 received")));
}

void tst_VornSim::onConnect() {
    Program program({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--quiet"),
                     QStringLiteral("--on-connect"), QStringLiteral("send FF 00 00 02 41"),
                     QStringLiteral("--on-connect"), QStringLiteral("close")});
    const quint16 port = program.port();
    QVERIFY(port != 0);
    QTcpSocket tester;
    QByteArray received;
    connect(&tester, &QTcpSocket::readyRead, this, [&] { received += tester.readAll(); });
    QSignalSpy closed(&tester, &QTcpSocket::disconnected);
    tester.connectToHost(QStringLiteral("127.0.0.1"), port);
    QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 1, Patience);
    QCOMPARE(received, QByteArray::fromHex("ff00000241"));
    program.type("quit");
    QVERIFY(program.process.waitForFinished(Patience));
    QCOMPARE(program.process.exitCode(), 0);
    // Quiet: events but no frame lines.
    QVERIFY(program.output.contains(QStringLiteral("---- closed the connection")));
    QVERIFY(!program.output.contains(QStringLiteral(" send FF")));
}

QTEST_GUILESS_MAIN(tst_VornSim)
#include "tst_vornsim.moc"
