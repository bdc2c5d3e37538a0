// vorn-bench: what the tester adds on top of the machine's own limits. Every figure is
// measured next to a baseline in the same run and printed with the ratio between the two.
#include "ArrivalsMode.h"
#include "BenchOptions.h"
#include "DeviceThread.h"
#include "EchoBench.h"
#include "FloodBench.h"
#include "LiveTester.h"
#include "RepaintClock.h"
#include "ResultTable.h"
#ifdef VORN_BENCH_STARTUP
#include "StartupBench.h"
#endif
#include "Stats.h"
#include "TestAllBench.h"
#include "ThreadedDevice.h"
#include "platform/EventLoop.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace {

// "0.42" from /proc/loadavg: the machine's one-minute load average.
QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll().split(' ').value(0));
}

void print(const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void progress(const QString &text) {
    const QByteArray bytes = (QStringLiteral("vorn-bench: ") + text + u'\n').toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

} // namespace

int main(int argc, char *argv[]) {
    // The window is built and painted, only not put on a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", "1");
    std::signal(SIGPIPE, SIG_IGN);
    // The window measured here runs on the event loop the testers choose.
    chooseEventLoop();
    RepaintClock app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Benchmarks of the Vorn tester"));
    parser.addHelpOption();
    const QCommandLineOption quick(QStringLiteral("quick"),
                                   QStringLiteral("A short smoke run; its figures mean little."));
    const QCommandLineOption parts(
        QStringLiteral("parts"), QStringLiteral("Comma-separated: echo, testall, flood, startup."),
        QStringLiteral("list"), QStringLiteral("startup,echo,testall,flood"));
    const QCommandLineOption arrivals(
        QStringLiteral("arrivals"),
        QStringLiteral("Only handle N GPI input arrivals, for instruction counts."),
        QStringLiteral("N"));
    const QCommandLineOption echoGap(
        QStringLiteral("echo-gap-ms"),
        QStringLiteral("Pause after each echo before the next frame (default 1)."),
        QStringLiteral("ms"));
    parser.addOption(echoGap);
    parser.addOption(quick);
    parser.addOption(parts);
    parser.addOption(arrivals);
    parser.process(app);

    if (parser.isSet(arrivals)) {
        QString error;
        const int status = runArrivals(parser.value(arrivals).toInt(), &error);
        if (status != 0)
            progress(error);
        return status;
    }

    BenchOptions options = parser.isSet(quick) ? BenchOptions::quick() : BenchOptions();
    if (parser.isSet(echoGap))
        options.echoGapMs = parser.value(echoGap).toInt();
    const QStringList selected = parser.value(parts).split(u',', Qt::SkipEmptyParts);

    ResultTable table;
    int failures = 0;
    const QString loadBefore = loadAverage();
    // Before anything else of the benchmark runs, so the programs start on a quiet machine.
    if (selected.contains(QLatin1String("startup"))) {
#ifdef VORN_BENCH_STARTUP
        progress(QStringLiteral("start-up"));
        StartupBench startup(options);
        if (!startup.run()) {
            progress(startup.error());
            ++failures;
        }
        table.section(QStringLiteral("4. Start-up on a virtual X server (bare Qt window as base)"));
        startup.report(table);
#else
        table.note(QStringLiteral("Start-up: not measured, this build has no xcb headers."));
#endif
    }
    {
        DeviceThread deviceThread;
        ThreadedDevice testerDevice(deviceThread);
        LiveTester tester;
        app.takeRepaintsUs();
        if (!tester.connectTo(testerDevice.port()) || !testerDevice.waitForConnection(true)) {
            progress(QStringLiteral("the tester could not connect to the simulated device"));
            return 2;
        }
        app.watch(&tester.form());
        const auto repaints = [&app, &table](const QString &during) {
            const Summary s = summarise(app.takeRepaintsUs());
            table.add(ResultRow::measured(
                QStringLiteral("window repaint during %1, %2 repaints").arg(during).arg(s.count),
                QStringLiteral("us"), s));
        };
        if (selected.contains(QLatin1String("echo"))) {
            progress(QStringLiteral("echo turnaround"));
            EchoBench echo(tester, testerDevice, options);
            if (!echo.run()) {
                progress(echo.error());
                ++failures;
            }
            table.section(QStringLiteral("1. Echo turnaround (device write to echo read)"));
            echo.report(table);
            repaints(QStringLiteral("echo"));
        }
        if (selected.contains(QLatin1String("testall"))) {
            progress(QStringLiteral("Test All timing"));
            TestAllBench testAll(tester, testerDevice, options);
            if (!testAll.run()) {
                progress(testAll.error());
                ++failures;
            }
            table.section(QStringLiteral("3. Test All step timing (device arrival times)"));
            testAll.report(table);
            repaints(QStringLiteral("Test All"));
        }
        if (selected.contains(QLatin1String("flood"))) {
            progress(QStringLiteral("receive throughput"));
            FloodBench flood(tester, testerDevice, options);
            if (!flood.run()) {
                progress(flood.error());
                ++failures;
            }
            table.section(
                QStringLiteral("2. Receive flood (tester on the left, raw reader as base)"));
            flood.report(table);
            repaints(QStringLiteral("flood"));
        }
        tester.disconnect();
    }
    table.note(QStringLiteral("Machine: %1 CPUs; load average %2 before the run, %3 after.")
                   .arg(QThread::idealThreadCount())
                   .arg(loadBefore, loadAverage()));
    print(table.text());
    return failures == 0 ? 0 : 1;
}
