// vorn-sim: the simulated device as a program, with a trace on standard output and commands
// on standard input.
#include "BoxWireFaults.h"
#include "CommandRunner.h"
#include "CommonOptions.h"
#include "ConsoleInput.h"
#include "ConsoleProcess.h"
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

namespace {

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
    cli::holdStandardFiles();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-sim"));
    // A closed pipe on standard output must not end the device.
    cli::ignoreBrokenPipes();

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
    if (const QString error = cli::unexpectedArgument(options); !error.isEmpty()) {
        cli::complain(error + QStringLiteral("; see vorn-sim --help"));
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
    const std::optional<int> boxCount = cli::readOptionNumber(options, o.boxes, 1, 1024, &error);
    if (!boxCount) {
        cli::complain(error);
        return 2;
    }
    if (*boxCount > 1 && (*listenPort == 0 || *listenPort + *boxCount - 1 > 65535)) {
        cli::complain(QStringLiteral("--boxes %1 needs %1 consecutive ports from --port, up to "
                                     "65535, and not port 0")
                          .arg(*boxCount));
        return 2;
    }
    const QStringList wireFaults = options.values(o.wireFault);
    error = sim::checkBoxNumbers(wireFaults, *boxCount);
    if (!error.isEmpty()) {
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
    // Each box's faults, checked as the other start-up commands are.
    QStringList boxFaults;
    for (int box = 1; box <= *boxCount; ++box) {
        const QStringList faults = sim::wireFaultsOfBox(wireFaults, box);
        boxFaults << (faults.isEmpty() ? QString()
                                       : QStringLiteral("wire-fault ") + faults.join(u' '));
    }
    for (const QString &command : startup + boxFaults) {
        if (!command.isEmpty() && !sim::parseCommand(command).ok()) {
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

    // One box, or a rack of them on consecutive ports; their trace lines and summaries are
    // marked with the box's number when there are several.
    std::vector<std::unique_ptr<sim::SimulatedDevice>> devices;
    std::vector<std::unique_ptr<sim::InputBounce>> bouncers;
    const bool frames = !options.isSet(o.quiet);
    for (int box = 1; box <= *boxCount; ++box) {
        const QString mark = *boxCount > 1 ? QStringLiteral("box %1 ").arg(box) : QString();
        auto &device = *devices.emplace_back(std::make_unique<sim::SimulatedDevice>());
        QObject::connect(&device, &sim::SimulatedDevice::trace,
                         [frames, mark](const QString &line) {
                             // Event lines carry "----" where frame lines carry recv or send.
                             if (frames || line.mid(13, 4) == QLatin1String("----"))
                                 print(mark + line);
                         });
        QObject::connect(&device, &sim::SimulatedDevice::connected, [&device, &connectCommands] {
            for (const QString &command : connectCommands)
                run(device, command, QStringLiteral("--on-connect: "));
        });
        for (const sim::ParsedBounce &bounce : bounces) {
            auto *bouncer = bouncers
                                .emplace_back(std::make_unique<sim::InputBounce>(
                                    device, bounce.index, bounce.toggles))
                                .get();
            QObject::connect(&device, &sim::SimulatedDevice::connected, bouncer, [bouncer] {
                QTimer::singleShot(500, bouncer, &sim::InputBounce::start);
            });
        }
        const int port = *listenPort == 0 ? 0 : *listenPort + box - 1;
        if (!device.listen(listenAddress, quint16(port))) {
            QString hint;
            if (port > 0 && port < 1024)
                hint = QStringLiteral(" (ports below 1024 need root or CAP_NET_BIND_SERVICE; "
                                      "try --port 2323)");
            cli::complain(QStringLiteral("cannot listen on %1:%2: %3%4")
                              .arg(listenAddress.toString())
                              .arg(port)
                              .arg(device.errorString(), hint));
            return 1;
        }
        QStringList commands = startup;
        if (!boxFaults[box - 1].isEmpty())
            commands << boxFaults[box - 1];
        for (const QString &command : commands + options.values(o.exec))
            run(device, command, QString());
    }
    const sim::SimulatedDevice &first = *devices.front();
    // Listening on every interface, the tester on this machine still reaches it at 127.0.0.1.
    const bool everywhere = first.serverAddress() == QHostAddress(QHostAddress::AnyIPv4) ||
                            first.serverAddress() == QHostAddress(QHostAddress::Any);
    const QString ports = *boxCount > 1
                              ? QStringLiteral("%1 to %2")
                                    .arg(QString::number(first.serverPort()),
                                         QString::number(first.serverPort() + *boxCount - 1))
                              : QString::number(first.serverPort());
    print(QStringLiteral("In the tester type address %1 and port %2, then press Connect. "
                         "Type 'help' for commands, 'quit' to end.")
              .arg(everywhere ? QStringLiteral("127.0.0.1 (or this machine's address)")
                              : first.serverAddress().toString(),
                   ports));

    ConsoleInput console;
    QObject::connect(&console, &ConsoleInput::line, [&](const QString &line) {
        for (const auto &device : devices)
            run(*device, line, QString());
    });
    QObject::connect(&console, &ConsoleInput::lineTooLong, [] {
        print(QStringLiteral("error: line too long (over %1 bytes); ignored")
                  .arg(ConsoleInput::MaxLine));
    });
    cli::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &cli::QuitSignals::received, &app, &QCoreApplication::quit);

    const int status = app.exec();
    for (std::size_t i = 0; i < devices.size(); ++i)
        print((devices.size() > 1 ? QStringLiteral("box %1 ").arg(i + 1) : QString()) +
              devices[i]->stats().summary());
    return status;
}
