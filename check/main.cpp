// vorn-check: the wiring check of a Vorn box with its outputs looped back to its inputs, as a
// command-line program. The check itself is in WiringCheck; this file wires it to the command
// line, the terminal, the report file and the quit signals.
#include "CheckOptions.h"
#include "CheckReport.h"
#include "ConsoleProcess.h"
#include "QuitSignals.h"
#include "WiringCheck.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

enum ExitStatus { Pass = 0, Faults = 1, NotChecked = 2 };

void write(FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void complain(const QString &text) {
    write(stderr, QStringLiteral("vorn-check: %1\n").arg(text));
}

QString wireBytes(quint32 bits) {
    return QStringLiteral("%1 %2 %3")
        .arg(bits & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bits >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((bits >> 16) & 0xFF, 2, 16, QLatin1Char('0'))
        .toUpper();
}

// What became of the box's outputs when the check could not be made.
QString outputsNote(const WiringCheck &check) {
    if (!check.outputsChanged())
        return QStringLiteral("the outputs were not changed");
    if (check.outputsRestored())
        return QStringLiteral("the outputs were put back as they were (%1)")
            .arg(wireBytes(check.result().outputsBefore));
    return QStringLiteral("the connection was gone before the outputs could be put back; they "
                          "may be left as the check set them");
}

bool saveReport(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    complain(QStringLiteral("cannot write the report to %1: %2").arg(path, file.errorString()));
    return false;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vorn-check"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORN_CHECK_VERSION));
    // A closed pipe on standard output must not end the check before the outputs are back.
    ignoreBrokenPipes();

    const ParsedOptions parsed = ParseCheckOptions(QCoreApplication::arguments());
    if (!parsed.ok()) {
        complain(parsed.error + QStringLiteral("; see vorn-check --help"));
        return NotChecked;
    }
    if (parsed.help) {
        write(stdout, CheckHelpText());
        return Pass;
    }
    if (parsed.version) {
        write(stdout,
              QStringLiteral("vorn-check %1\n").arg(QCoreApplication::applicationVersion()));
        return Pass;
    }
    const CheckOptions &options = parsed.options;

    WiringCheck check(options.settings);
    const bool terminal = ::isatty(STDOUT_FILENO) == 1;
    if (terminal) {
        QObject::connect(
            &check, &WiringCheck::progress, [](int step, int steps, const QString &what) {
                write(stdout,
                      QStringLiteral("\r\033[K%1 of %2: %3").arg(step).arg(steps).arg(what));
            });
    }
    QObject::connect(&check, &WiringCheck::finished, &app, [&] {
        if (terminal)
            write(stdout, QStringLiteral("\r\033[K"));
        if (check.outcome() == WiringCheck::Outcome::Error) {
            complain(QStringLiteral("%1; %2").arg(check.error(), outputsNote(check)));
            app.exit(NotChecked);
            return;
        }
        const CheckResult &result = check.result();
        const QString text = TextReport(result);
        const bool jsonOut = options.json && options.reportFile.isEmpty();
        write(stdout, jsonOut ? QString::fromUtf8(JsonReport(result)) : text);
        if (!options.reportFile.isEmpty() &&
            !saveReport(options.reportFile, options.json ? JsonReport(result) : text.toUtf8())) {
            app.exit(NotChecked);
            return;
        }
        app.exit(check.outcome() == WiringCheck::Outcome::Pass ? Pass : Faults);
    });

    QuitSignals quitSignals;
    QObject::connect(&quitSignals, &QuitSignals::received, &check, [&](int number) {
        check.stop(QStringLiteral("interrupted by SIG%1").arg(quitSignalName(number)));
    });

    QTimer::singleShot(0, &check, &WiringCheck::start);
    return app.exec();
}
