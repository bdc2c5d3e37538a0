// vorn-sim: the simulated device as a program, with a trace on standard output and commands
// on standard input.
#include "CommandRunner.h"
#include "ConsoleInput.h"
#include "ConsoleProcess.h"
#include "QuitSignals.h"
#include "SimHelp.h"
#include "SimulatedDevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTimer>

#include <cstdio>

namespace {

void print(const QString &text) {
    if (text.isEmpty())
        return;
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void complain(const QString &text) {
    const QByteArray bytes = QStringLiteral("vorn-sim: %1\n").arg(text).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// Runs a command line; false (and the error printed) when it was not understood.
bool run(sim::SimulatedDevice &device, const QString &line, const QString &source) {
    const sim::ParsedCommand parsed = sim::parseCommand(line);
    if (!parsed.ok()) {
        print(QStringLiteral("error: %1%2").arg(source, parsed.error));
        return false;
    }
    if (parsed.command.kind == sim::SimCommand::Quit) {
        // Queued, so that a quit given before the event loop runs (--exec quit) counts too.
        QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                  Qt::QueuedConnection);
        return true;
    }
    print(sim::runCommand(device, parsed.command));
    return true;
}

} // namespace

int main(int argc, char *argv[]) {
    holdStandardFiles();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-sim"));
    // A closed pipe on standard output must not end the device.
    ignoreBrokenPipes();

    QCommandLineParser options;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QString());
    const QCommandLineOption address(QStringLiteral("address"), QString(), QStringLiteral("ADDR"),
                                     QStringLiteral("127.0.0.1"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("N"),
                                  QStringLiteral("2323"));
    const QCommandLineOption inputs(QStringLiteral("inputs"), QString(), QStringLiteral("BYTES"));
    const QCommandLineOption firmware(QStringLiteral("fw"), QString(), QStringLiteral("V"));
    const QCommandLineOption follow(QStringLiteral("follow"), QString());
    const QCommandLineOption wireFault(QStringLiteral("wire-fault"), QString(),
                                       QStringLiteral("FAULT"));
    const QCommandLineOption walk(QStringLiteral("walk"), QString(), QStringLiteral("MS"));
    const QCommandLineOption walkCount(QStringLiteral("walk-count"), QString(),
                                       QStringLiteral("N"));
    const QCommandLineOption report(QStringLiteral("report"), QString(), QStringLiteral("MS"));
    const QCommandLineOption loopback(QStringLiteral("loopback"), QString());
    const QCommandLineOption pace(QStringLiteral("pace"), QString(), QStringLiteral("MS"));
    const QCommandLineOption delay(QStringLiteral("delay"), QString(), QStringLiteral("MS"));
    const QCommandLineOption split(QStringLiteral("split"), QString());
    const QCommandLineOption splitGap(QStringLiteral("split-gap"), QString(), QStringLiteral("MS"));
    const QCommandLineOption coalesce(QStringLiteral("coalesce"), QString());
    const QCommandLineOption exec({QStringLiteral("e"), QStringLiteral("exec")}, QString(),
                                  QStringLiteral("CMD"));
    const QCommandLineOption onConnect(QStringLiteral("on-connect"), QString(),
                                       QStringLiteral("CMD"));
    const QCommandLineOption quiet({QStringLiteral("q"), QStringLiteral("quiet")}, QString());
    options.addOptions({help, address, port, inputs, firmware, follow, wireFault, walk, walkCount,
                        report, loopback, pace, delay, split, splitGap, coalesce, exec, onConnect,
                        quiet});

    if (!options.parse(QCoreApplication::arguments())) {
        complain(options.errorText() + QStringLiteral("; see vorn-sim --help"));
        return 2;
    }
    if (options.isSet(help)) {
        print(sim::helpText());
        return 0;
    }
    if (!options.positionalArguments().isEmpty()) {
        complain(QStringLiteral("unexpected argument '%1'; see vorn-sim --help")
                     .arg(options.positionalArguments().front()));
        return 2;
    }

    QHostAddress listenAddress;
    if (!listenAddress.setAddress(options.value(address))) {
        complain(QStringLiteral("--address: '%1' is not an IP address, e.g. 127.0.0.1")
                     .arg(options.value(address)));
        return 2;
    }
    bool portOk = false;
    const uint listenPort = options.value(port).toUInt(&portOk);
    if (!portOk || listenPort > 65535) {
        complain(QStringLiteral("--port: '%1' is not a port number (0 to 65535)")
                     .arg(options.value(port)));
        return 2;
    }

    // Each option is the command of the same name.
    QStringList startup;
    const auto withValue = [&](const QCommandLineOption &option, const QString &command) {
        if (options.isSet(option))
            startup << command + u' ' + options.value(option);
    };
    const auto flag = [&](const QCommandLineOption &option, const QString &command) {
        if (options.isSet(option))
            startup << command;
    };
    withValue(inputs, QStringLiteral("inputs"));
    withValue(firmware, QStringLiteral("fw"));
    // A wiring fault is a fault of the inputs that follow the outputs: it implies --follow.
    if (options.isSet(follow) || options.isSet(wireFault))
        startup << QStringLiteral("follow on");
    if (options.isSet(wireFault))
        startup << QStringLiteral("wire-fault ") + options.values(wireFault).join(u' ');
    if (options.isSet(walk) || options.isSet(walkCount)) {
        const QString period = options.isSet(walk) ? options.value(walk) : QStringLiteral("off");
        startup << QStringLiteral("walk %1 %2")
                       .arg(period, options.isSet(walkCount) ? options.value(walkCount)
                                                             : QStringLiteral("24"));
    }
    withValue(report, QStringLiteral("report"));
    flag(loopback, QStringLiteral("loopback on"));
    withValue(pace, QStringLiteral("pace"));
    withValue(delay, QStringLiteral("delay"));
    flag(split, QStringLiteral("split"));
    withValue(splitGap, QStringLiteral("split-gap"));
    flag(coalesce, QStringLiteral("coalesce"));
    for (const QString &command : startup) {
        if (!sim::parseCommand(command).ok()) {
            complain(QStringLiteral("--%1").arg(command.section(u' ', 0, 0)) +
                     QStringLiteral(": ") + sim::parseCommand(command).error);
            return 2;
        }
    }
    const QStringList connectCommands = options.values(onConnect);
    for (const QString &command : connectCommands + options.values(exec)) {
        const sim::ParsedCommand parsed = sim::parseCommand(command);
        if (!parsed.ok()) {
            complain(QStringLiteral("'%1': %2").arg(command, parsed.error));
            return 2;
        }
    }

    sim::SimulatedDevice device;
    const bool frames = !options.isSet(quiet);
    QObject::connect(&device, &sim::SimulatedDevice::trace, [frames](const QString &line) {
        // Event lines carry "----" where frame lines carry recv or send.
        if (frames || line.mid(13, 4) == QLatin1String("----"))
            print(line);
    });
    QObject::connect(&device, &sim::SimulatedDevice::connected, [&] {
        for (const QString &command : connectCommands)
            run(device, command, QStringLiteral("--on-connect: "));
    });

    if (!device.listen(listenAddress, quint16(listenPort))) {
        QString hint;
        if (listenPort > 0 && listenPort < 1024)
            hint = QStringLiteral(" (ports below 1024 need root or CAP_NET_BIND_SERVICE; "
                                  "try --port 2323)");
        complain(QStringLiteral("cannot listen on %1:%2: %3%4")
                     .arg(listenAddress.toString())
                     .arg(listenPort)
                     .arg(device.errorString(), hint));
        return 1;
    }
    for (const QString &command : startup + options.values(exec))
        run(device, command, QString());
    // Listening on every interface, the tester on this machine still reaches it at 127.0.0.1.
    const bool everywhere = device.serverAddress() == QHostAddress(QHostAddress::AnyIPv4) ||
                            device.serverAddress() == QHostAddress(QHostAddress::Any);
    print(QStringLiteral("In the tester type address %1 and port %2, then press Connect. "
                         "Type 'help' for commands, 'quit' to end.")
              .arg(everywhere ? QStringLiteral("127.0.0.1 (or this machine's address)")
                              : device.serverAddress().toString())
              .arg(device.serverPort()));

    ConsoleInput console;
    QObject::connect(&console, &ConsoleInput::line,
                     [&](const QString &line) { run(device, line, QString()); });
    QObject::connect(&console, &ConsoleInput::lineTooLong, [] {
        print(QStringLiteral("error: line too long (over %1 bytes); ignored")
                  .arg(ConsoleInput::MaxLine));
    });
    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &app, &QCoreApplication::quit);

    const int status = app.exec();
    print(device.stats().summary());
    return status;
}
