// How much memory the session store holds at its bounds, measured on the heap, for the lines a
// flood of GPI input messages writes and for long lines; and what recording a line costs.
// Prints the figures; checks nothing.
#include "app/SessionRecord.h"
#include "window/SessionLog.h"
#include "window/Stamps.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QString>
#include <QStringBuilder>
#include <QTemporaryDir>

#include <cstdio>
#include <malloc.h>

namespace {

qint64 heapInUse() {
    return qint64(mallinfo2().uordblks);
}

struct Figures {
    int held;
    qint64 dropped;
    qint64 estimated;
    qint64 measured;
};

// Appends count lines made by make(i) to a store with the default bounds.
template <class Make> Figures fill(qint64 count, Make make) {
    const qint64 before = heapInUse();
    Figures figures{};
    {
        SessionLog log;
        for (qint64 i = 0; i < count; ++i)
            log.append(make(i));
        figures = {log.count(), log.dropped(), log.bytes(), heapInUse() - before};
    }
    return figures;
}

void print(const char *what, const Figures &f) {
    std::printf("%-44s %9d %9lld %8.2f %8.2f %7.1f %7.1f\n", what, f.held,
                static_cast<long long>(f.dropped), f.estimated / 1048576.0, f.measured / 1048576.0,
                double(f.estimated) / f.held, double(f.measured) / f.held);
}

} // namespace

// Nanoseconds per line that the session record takes to stamp and buffer a flood line, its
// flushes to a file included.
double recordNanosPerLine(qint64 count) {
    QTemporaryDir dir;
    SessionRecord record;
    if (!record.open(dir.filePath(QStringLiteral("record.log"))))
        return -1;
    const QString line = WidePrefix(1234e6, 0, 1233e6, 1e9) % QLatin1String(" GPI Input");
    QElapsedTimer timer;
    timer.start();
    for (qint64 i = 0; i < count; ++i) {
        record.write(line);
        if (i % 1000 == 999)
            record.flush();
    }
    record.flush();
    return double(timer.nsecsElapsed()) / double(count);
}

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    const double frequency = 1e9;
    std::printf("Session store bounds: %d lines, %.1f MiB (estimated)\n\n",
                SessionLog::DefaultMaxLines, SessionLog::DefaultMaxBytes / 1048576.0);
    std::printf("%-44s %9s %9s %8s %8s %7s %7s\n", "Lines", "held", "dropped", "est MiB",
                "heap MiB", "est B/l", "heap B/l");

    // The flood's line, made as the receive dispatcher makes it: the wide prefix and the name.
    const qint64 floodLines = 2LL * SessionLog::DefaultMaxLines;
    print("flood: \"    1.234 (0.001) GPI Input\"", fill(floodLines, [&](qint64 i) {
              const double arrival = double(i) * 1e6;
              return QString(WidePrefix(arrival, 0, arrival - 1e6, frequency) %
                             QLatin1String(" GPI Input"));
          }));
    // Test All's walk: the request lines are literals, the answers stamped.
    print("Test All: \"  1.234 (0.001) GPI Output\"", fill(floodLines, [&](qint64 i) {
              const double arrival = double(i) * 1e6;
              return QString(StandardPrefix(arrival, 0, arrival - 1e6, frequency) %
                             QLatin1String(" GPI Output"));
          }));
    // Lines far longer than any the tester writes: the size bound holds them.
    print("1,000-character lines",
          fill(100000, [](qint64 i) { return QString(1000, QLatin1Char('a' + char(i % 26))); }));
    std::printf("\nRecording a flood line to a file, stamp and flushes included: %.0f ns\n",
                recordNanosPerLine(1000000));
    std::printf("\nest: SessionLog::lineCost(); heap: glibc's mallinfo2() in use, after minus "
                "before.\n");
    return 0;
}
