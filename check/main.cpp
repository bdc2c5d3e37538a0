// vorn-check: the wiring check of a Vorn box with its outputs looped back to its inputs, as a
// command-line program. The check itself is in WiringCheck; this file wires it to the command
// line, the terminal, the report file and the quit signals.
#include "CheckOptions.h"
#include "CheckReport.h"
#include "ConsoleProcess.h"
#include "HexText.h"
#include "QuitSignals.h"
#include "StandardStreams.h"
#include "WiringCheck.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTimer>

#include <unistd.h>

namespace {

enum ExitStatus { Pass = 0, Faults = 1, NotChecked = 2 };

// What became of the box's outputs when the check could not be made.
QString outputsNote(const WiringCheck &check) {
    if (!check.outputsChanged())
        return QStringLiteral("the outputs were not changed");
    if (check.outputsRestored())
        return QStringLiteral("the outputs were put back as they were (%1)")
            .arg(cli::gpiBytesText(check.result().outputsBefore));
    return QStringLiteral("the connection was gone before the outputs could be put back; they "
                          "may be left as the check set them");
}

bool saveReport(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    cli::complain(
        QStringLiteral("cannot write the report to %1: %2").arg(path, file.errorString()));
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-check"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORN_CHECK_VERSION));
    // A closed pipe on standard output must not end the check before the outputs are back.
    cli::ignoreBrokenPipes();

    const ParsedOptions parsed = ParseCheckOptions(QCoreApplication::arguments());
    if (!parsed.ok()) {
        cli::complain(parsed.error + QStringLiteral("; see vorn-check --help"));
        return NotChecked;
    }
    if (parsed.help) {
        cli::writeOut(CheckHelpText());
        return Pass;
    }
    if (parsed.version) {
        cli::writeOut(
            QStringLiteral("vorn-check %1\n").arg(QCoreApplication::applicationVersion()));
        return Pass;
    }
    const CheckOptions &options = parsed.options;

    WiringCheck check(options.settings);
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
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
        if (check.outcome() == WiringCheck::Outcome::Error) {
            cli::complain(QStringLiteral("%1; %2").arg(check.error(), outputsNote(check)));
            app.exit(NotChecked);
            return;
        }
        const CheckResult &result = check.result();
        const QString text = TextReport(result);
        const bool jsonOut = options.json && options.reportFile.isEmpty();
        cli::writeOut(jsonOut ? QString::fromUtf8(JsonReport(result)) : text);
        if (!options.reportFile.isEmpty() &&
            !saveReport(options.reportFile, options.json ? JsonReport(result) : text.toUtf8())) {
            app.exit(NotChecked);
            return;
        }
        app.exit(check.outcome() == WiringCheck::Outcome::Pass ? Pass : Faults);
    });

    cli::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &cli::QuitSignals::received, &check, [&](int request) {
        check.stop(QStringLiteral("interrupted by %1").arg(cli::QuitSignals::name(request)));
    });

    QTimer::singleShot(0, &check, &WiringCheck::start);
    return app.exec();
}
