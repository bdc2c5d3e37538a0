// vorn-soak: a long run of Test All at 1 ms against the simulated device, with the device's
// inputs following every output step. Prints the frames sent and received, the memory at
// start and end, and fails when a set-outputs frame did not reach the device in order.
//
//   vorn-soak [--seconds N]      (default 600, or VORN_SOAK_SECONDS)

#include "SoakRun.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen").toUtf8());
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Test All at 1 ms against the simulated device for a set time."));
    parser.addHelpOption();
    const QCommandLineOption secondsOption(
        QStringLiteral("seconds"), QStringLiteral("How long to run (default 600)."),
        QStringLiteral("N"), qEnvironmentVariable("VORN_SOAK_SECONDS", QStringLiteral("600")));
    parser.addOption(secondsOption);
    parser.process(app);
    bool ok = false;
    const int seconds = parser.value(secondsOption).toInt(&ok);
    if (!ok || seconds < 1) {
        QTextStream(stderr) << "vorn-soak: --seconds takes a whole number of seconds, 1 or more\n";
        return 2;
    }

    QTextStream out(stdout);
    out << "Soak: Test All at 1 ms with the device following its outputs, " << seconds << " s"
        << Qt::endl;
    const SoakRun::Figures f = [&] {
        SoakRun run(seconds, out);
        return run.run();
    }();

    out << QStringLiteral("ran                      %1 s\n").arg(f.seconds, 0, 'f', 1)
        << QStringLiteral("Test All steps           %1 (%2 per second, nominal 1000)\n")
               .arg(f.steps)
               .arg(f.seconds > 0 ? f.steps / f.seconds : 0.0, 0, 'f', 1)
        << QStringLiteral("frames sent by tester    %1 (%2 bytes)\n")
               .arg(f.framesSent)
               .arg(f.bytesSent)
        << QStringLiteral("set-outputs at device    %1\n").arg(f.setOutputsAtDevice)
        << QStringLiteral("lost / out of order      %1 / %2\n").arg(f.lost).arg(f.outOfOrder)
        << QStringLiteral("frames sent by device    %1 (dropped %2)\n")
               .arg(f.deviceFramesSent)
               .arg(f.deviceDropped)
        << QStringLiteral("arrivals at tester       %1 (%2 bytes)\n")
               .arg(f.arrivals)
               .arg(f.bytesArrived)
        << QStringLiteral("resident memory          %1 kB at start, %2 kB at end (%3 kB)\n")
               .arg(f.residentStartKb)
               .arg(f.residentEndKb)
               .arg(f.residentEndKb - f.residentStartKb, 0, 10)
        << QStringLiteral("open descriptors         %1 at start, %2 at end\n")
               .arg(f.descriptorsStart)
               .arg(f.descriptorsEnd)
        << QStringLiteral("log lines                %1\n").arg(f.logLines);
    if (!f.failure.isEmpty()) {
        out << "FAILED: " << f.failure << Qt::endl;
        return 1;
    }
    out << "OK: every set-outputs frame reached the device, in order" << Qt::endl;
    return 0;
}
