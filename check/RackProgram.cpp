#include "RackProgram.h"

#include "QuitSignals.h"
#include "RackRun.h"
#include "RackSummary.h"
#include "SaveReport.h"
#include "StandardStreams.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

int RunRack(const CheckOptions &options) {
    if (!options.reportDir.isEmpty() && !QDir().mkpath(options.reportDir)) {
        cli::complain(
            QStringLiteral("--report-dir: cannot make the folder %1").arg(options.reportDir));
        return 2;
    }
    const QDir reportDir(options.reportDir);
    RackRun run(options.rack, options.jobs, options.label.operatorName);
    // On a terminal each box's line comes as it ends; in a log, all of them in the rack's order.
    const bool terminal = cli::outputIsTerminal();
    // Without --report, a JSON or JUnit report goes to standard output, and the words to
    // standard error.
    const bool reportOut = options.reportFile.isEmpty() && options.format != ReportFormat::Text;
    const auto say = reportOut ? cli::writeErr : cli::writeOut;
    bool reportsWritten = true;

    QObject::connect(&run, &RackRun::boxDone, [&](int index) {
        const BoxRecord &record = run.records()[index];
        if (terminal)
            say(BoxLine(record) + u'\n');
        if (!options.reportDir.isEmpty())
            reportsWritten &= SaveReport(reportDir.filePath(BoxReportName(record, options.format)),
                                         BoxReport(options.format, record));
    });
    QObject::connect(&run, &RackRun::finished, [&] {
        const RackTally tally = Tally(run.records(), run.elapsedNs());
        QStringList notRestored;
        for (const BoxRecord &record : run.records()) {
            if (!terminal)
                say(BoxLine(record) + u'\n');
            if (record.outputs == BoxRecord::Outputs::MaybeLeftChanged)
                notRestored << record.name();
        }
        say(SummaryLine(tally) + u'\n');
        if (!notRestored.isEmpty())
            cli::complain(QStringLiteral("could not put back the outputs of %1 (the connection "
                                         "was gone): %2")
                              .arg(notRestored.size())
                              .arg(notRestored.join(QStringLiteral(", "))));
        const QByteArray report = RackReport(options.format, run.records(), tally);
        if (reportOut)
            cli::writeOut(QString::fromUtf8(report));
        else if (!options.reportFile.isEmpty())
            reportsWritten &= SaveReport(options.reportFile, report);
        QCoreApplication::exit(reportsWritten ? tally.exitStatus() : 2);
    });

    cli::QuitSignals quitSignals;
    QObject::connect(&quitSignals, &cli::QuitSignals::received, &run, [&](int request) {
        run.stop(QStringLiteral("interrupted by %1").arg(cli::QuitSignals::name(request)));
    });
    QTimer::singleShot(0, &run, &RackRun::start);
    return QCoreApplication::exec();
}
