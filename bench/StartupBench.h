#pragma once

#include "BenchOptions.h"
#include "Stats.h"

#include <QString>
#include <vector>

class ResultTable;

// Start-up: each program is started on a private virtual X server and watched from outside:
// from the moment it is spawned to its window's first paint, to the first tick of the
// link-status timer as the window shows it ("Closed" in the connection state box), and its
// resident memory then. The two testers are measured against a bare Qt window program built
// the same way: each start of a tester is followed by a start of the bare window, and each
// such pair gives one ratio.
class StartupBench {
public:
    // The programs get the environment the benchmark was started with, but for the choice of
    // the event loop, which every program makes itself, as it does for users.
    explicit StartupBench(const BenchOptions &options);

    bool run();
    void report(ResultTable &table) const;
    QString error() const { return m_error; }

private:
    struct Program {
        QString name;
        QByteArray path;
        std::vector<double> shownMs;
        std::vector<double> tickMs;
        std::vector<double> rssMb;
        // A tester's start against the bare window's right after it, per round.
        Rounds shownRatios;
        Rounds tickRatios;
        Rounds extraRssMb;
    };

    BenchOptions m_options;
    std::vector<Program> m_programs;
    QString m_error;
};
