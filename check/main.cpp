// vorn-check: the wiring check of a Vorn box with its outputs looped back to its inputs, as a
// command-line program. The check itself is in WiringCheck; this file wires it to the command
// line, the terminal, the report file and the quit signals.
#include "BoxRecord.h"
#include "CheckOptions.h"
#include "CheckReport.h"
#include "ConsoleProcess.h"
#include "QuitSignals.h"
#include "RackProgram.h"
#include "SaveReport.h"
#include "StandardStreams.h"
#include "WiringCheck.h"

#include <QCoreApplication>
#include <QTimer>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-check"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORN_CHECK_VERSION));
    // A closed pipe on standard output must not end the check before the outputs are back.
    cli::ignoreBrokenPipes();

    const ParsedOptions parsed = ParseCheckOptions(QCoreApplication::arguments());
    if (!parsed.ok()) {
        cli::complain(parsed.error + QStringLiteral("; see vorn-check --help"));
        return 2;
    }
    if (parsed.help) {
        cli::writeOut(CheckHelpText());
        return 0;
    }
    if (parsed.version) {
        cli::writeOut(
            QStringLiteral("vorn-check %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    }
    const CheckOptions &options = parsed.options;
    if (options.isRack())
        return RunRack(options);

    WiringCheck check(options.settings);
    const bool terminal = cli::outputIsTerminal();
    if (terminal) {
        QObject::connect(
            &check, &WiringCheck::progress, [](int step, int steps, const QString &what) {
                cli::writeOut(
                    QStringLiteral("\r\033[K%1 of %2: %3").arg(step).arg(steps).arg(what));
            });
    }
    QObject::connect(&check, &WiringCheck::finished, &app, [&] {
        if (terminal)
            cli::writeOut(QStringLiteral("\r\033[K"));
        const BoxRecord record = RecordOf(check, options.label);
        if (!record.checked())
            cli::complain(QStringLiteral("%1; %2").arg(record.error, OutputsNote(record)));
        else if (options.reportFile.isEmpty())
            cli::writeOut(QString::fromUtf8(BoxReport(options.format, record)));
        else
            cli::writeOut(TextReport(record));
        if (!options.reportFile.isEmpty() &&
            !SaveReport(options.reportFile, BoxReport(options.format, record))) {
            app.exit(2);
            return;
        }
        app.exit(ExitStatusOf(record));
    });

    cli::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &cli::QuitSignals::received, &check, [&](int request) {
        check.stop(QStringLiteral("interrupted by %1").arg(cli::QuitSignals::name(request)));
    });

    QTimer::singleShot(0, &check, &WiringCheck::start);
    return app.exec();
}
