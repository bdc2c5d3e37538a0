#pragma once

#include "BenchOptions.h"

#include <QString>
#include <vector>

class LiveTester;
class ResultTable;
class ThreadedDevice;

// Test All timing: the walk runs at slider values of 1, 10 and 333 ms and the device notes
// when each step's frame arrives. The step periods are compared with the slider value, and
// with those of a plain timerfd loop sending the same frames at the same period through a
// raw socket to a second device in the same device thread.
class TestAllBench {
public:
    TestAllBench(LiveTester &tester, ThreadedDevice &testerDevice, const BenchOptions &options);

    bool run();
    void report(ResultTable &table) const;
    QString error() const { return m_error; }

private:
    struct Pace {
        int sliderMs = 0;
        int steps = 0;
        std::vector<double> testerPeriodsMs;
        std::vector<double> basePeriodsMs;
    };

    bool runTester(Pace &pace);
    bool runBaseline(Pace &pace);

    LiveTester &m_tester;
    ThreadedDevice &m_testerDevice;
    std::vector<Pace> m_paces;
    QString m_error;
};
