// vorn-sim: the simulated device as a program, with a trace on standard output and commands
// on standard input.
#include "CommandRunner.h"
#include "ConsoleInput.h"
#include "InputBounce.h"
#include "QuitSignals.h"
#include "SimOptions.h"
#include "SimulatedDevice.h"
#include "StandardStreams.h"
#include "WholeNumber.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QHostAddress>
#include <QTimer>

#include <memory>
#include <vector>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Started with standard input, output or error closed, the next socket opened would take
// its number, and the trace would go to the tester. /dev/null holds the place instead.
void holdStandardFiles() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            std::_Exit(3);
    }
}

// A line on standard output; nothing for no text.
void print(const QString &text) {
    if (!text.isEmpty())
        cli::writeOut(text + u'\n');
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
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser options;
    const sim::SimOptions o;
    o.addTo(options);
    if (!options.parse(QCoreApplication::arguments())) {
        cli::complain(options.errorText() + QStringLiteral("; see vorn-sim --help"));
        return 2;
    }
    if (options.isSet(o.help)) {
        print(sim::helpText());
        return 0;
    }
    if (!options.positionalArguments().isEmpty()) {
        cli::complain(QStringLiteral("unexpected argument '%1'; see vorn-sim --help")
                          .arg(options.positionalArguments().front()));
        return 2;
    }

    QHostAddress listenAddress;
    if (!listenAddress.setAddress(options.value(o.address))) {
        cli::complain(QStringLiteral("--address: '%1' is not an IP address, e.g. 127.0.0.1")
                          .arg(options.value(o.address)));
        return 2;
    }
    QString error;
    const std::optional<int> listenPort = cli::readOptionNumber(options, o.port, 0, 65535, &error);
    if (!listenPort) {
        cli::complain(error);
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
    withValue(o.inputs, QStringLiteral("inputs"));
    withValue(o.firmware, QStringLiteral("fw"));
    // A wiring fault is a fault of the inputs that follow the outputs: it implies --follow.
    if (options.isSet(o.follow) || options.isSet(o.wireFault))
        startup << QStringLiteral("follow on");
    if (options.isSet(o.wireFault))
        startup << QStringLiteral("wire-fault ") + options.values(o.wireFault).join(u' ');
    if (options.isSet(o.walk) || options.isSet(o.walkCount)) {
        const QString period =
            options.isSet(o.walk) ? options.value(o.walk) : QStringLiteral("off");
        startup << QStringLiteral("walk %1 %2")
                       .arg(period, options.isSet(o.walkCount) ? options.value(o.walkCount)
                                                               : QStringLiteral("24"));
    }
    withValue(o.report, QStringLiteral("report"));
    flag(o.loopback, QStringLiteral("loopback on"));
    withValue(o.pace, QStringLiteral("pace"));
    withValue(o.delay, QStringLiteral("delay"));
    flag(o.split, QStringLiteral("split"));
    withValue(o.splitGap, QStringLiteral("split-gap"));
    flag(o.coalesce, QStringLiteral("coalesce"));
    for (const QString &command : startup) {
        if (!sim::parseCommand(command).ok()) {
            cli::complain(QStringLiteral("--%1").arg(command.section(u' ', 0, 0)) +
                          QStringLiteral(": ") + sim::parseCommand(command).error);
            return 2;
        }
    }
    const QStringList connectCommands = options.values(o.onConnect);
    for (const QString &command : connectCommands + options.values(o.exec)) {
        const sim::ParsedCommand parsed = sim::parseCommand(command);
        if (!parsed.ok()) {
            cli::complain(QStringLiteral("'%1': %2").arg(command, parsed.error));
            return 2;
        }
    }

    QList<sim::ParsedBounce> bounces;
    for (const QString &text : options.values(o.bounce)) {
        bounces << sim::parseBounce(text);
        if (!bounces.constLast().error.isEmpty()) {
            cli::complain(QStringLiteral("--bounce: ") + bounces.constLast().error);
            return 2;
        }
    }

    sim::SimulatedDevice device;
    std::vector<std::unique_ptr<sim::InputBounce>> bouncers;
    for (const sim::ParsedBounce &bounce : bounces) {
        bouncers.push_back(
            std::make_unique<sim::InputBounce>(device, bounce.index, bounce.toggles));
        QObject::connect(&device, &sim::SimulatedDevice::connected, bouncers.back().get(),
                         [bouncer = bouncers.back().get()] {
                             QTimer::singleShot(500, bouncer, &sim::InputBounce::start);
                         });
    }
    const bool frames = !options.isSet(o.quiet);
    QObject::connect(&device, &sim::SimulatedDevice::trace, [frames](const QString &line) {
        // Event lines carry "----" where frame lines carry recv or send.
        if (frames || line.mid(13, 4) == QLatin1String("----"))
            print(line);
    });
    QObject::connect(&device, &sim::SimulatedDevice::connected, [&] {
        for (const QString &command : connectCommands)
            run(device, command, QStringLiteral("--on-connect: "));
    });

    if (!device.listen(listenAddress, quint16(*listenPort))) {
        QString hint;
        if (*listenPort > 0 && *listenPort < 1024)
            hint = QStringLiteral(" (ports below 1024 need root or CAP_NET_BIND_SERVICE; "
                                  "try --port 2323)");
        cli::complain(QStringLiteral("cannot listen on %1:%2: %3%4")
                          .arg(listenAddress.toString())
                          .arg(*listenPort)
                          .arg(device.errorString(), hint));
        return 1;
    }
    for (const QString &command : startup + options.values(o.exec))
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
    cli::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &cli::QuitSignals::received, &app, &QCoreApplication::quit);

    const int status = app.exec();
    print(device.stats().summary());
    return status;
}
