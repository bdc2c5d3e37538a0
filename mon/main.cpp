// vorn-mon: watches a Vorn box line by line, as a command-line program. The watching is in
// Monitor; this file wires it to the command line, standard output, the VCD file and the
// quit signals.
#include "ConsoleProcess.h"
#include "EventJson.h"
#include "EventText.h"
#include "MonOptions.h"
#include "Monitor.h"
#include "QuitSignals.h"
#include "StandardStreams.h"
#include "VcdWriter.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-mon"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORN_MON_VERSION));
    // A reader that goes away (head, a closed jq) must not kill the run before the summary
    // and the VCD file are complete.
    cli::ignoreBrokenPipes();

    const ParsedMonOptions parsed = ParseMonOptions(QCoreApplication::arguments());
    if (!parsed.ok()) {
        cli::complain(parsed.error + QStringLiteral("; see vorn-mon --help"));
        return 2;
    }
    if (parsed.help) {
        cli::writeOut(MonHelpText());
        return 0;
    }
    if (parsed.version) {
        cli::writeOut(QStringLiteral("vorn-mon %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    const MonOptions &options = parsed.options;

    VcdWriter vcd(options.settings.gpis, options.settings.outputs, options.settings.names,
                  QStringLiteral("vorn-mon ") + QCoreApplication::applicationVersion());
    QString error;
    if (!options.vcdFile.isEmpty() && !vcd.open(options.vcdFile, &error)) {
        cli::complain(error);
        return 2;
    }

    Monitor monitor(options.settings);
    const bool colour = !options.json && cli::outputIsTerminal();
    QObject::connect(&monitor, &Monitor::happened, [&](const MonEvent &event) {
        // Each line is written and flushed whole, so a pipe sees it at once.
        if (options.json)
            cli::writeOut(QString::fromUtf8(EventJson(event)));
        else
            cli::writeOut(EventText(event, colour) + u'\n');
        vcd.write(event);
    });
    QObject::connect(&monitor, &Monitor::finished, &app, [&](int status, const QString &why) {
        vcd.finish();
        if (!why.isEmpty())
            cli::complain(why);
        app.exit(status);
    });

    cli::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &cli::QuitSignals::received, &monitor, [&](int request) {
        monitor.stop(QStringLiteral("interrupted by %1").arg(cli::QuitSignals::name(request)));
    });

    QTimer::singleShot(0, &monitor, &Monitor::start);
    return app.exec();
}
