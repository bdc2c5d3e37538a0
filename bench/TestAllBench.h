#pragma once

#include "BenchOptions.h"
#include "Stats.h"

#include <QString>
#include <vector>

class LiveTester;
class ResultTable;
class ThreadedDevice;

// Test All timing: the walk runs at slider values of 1, 10 and 333 ms and the device notes
// when each step's frame arrives. The step periods are compared with the slider value, and
// with those of a plain timerfd loop sending the same frames at the same period through a
// raw socket to a second device in the same device thread. At each pace, rounds of the
// tester's walk alternate with rounds of the timerfd loop's.
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
        // All rounds' periods.
        std::vector<double> testerPeriodsMs;
        std::vector<double> basePeriodsMs;
        // Per round: the tester's mean period error, and its p99 jitter over the loop's.
        Rounds testerMeanErrors;
        Rounds jitterRatios;
        // The tester's walk with its timer waker idle: Qt's timer alone, in the same rounds.
        std::vector<double> unwakedPeriodsMs;
        Rounds unwakedMeanErrors;
    };

    bool runTester(const Pace &pace, std::vector<double> *periodsMs);
    bool runUnwaked(const Pace &pace, std::vector<double> *periodsMs);
    bool runBaseline(const Pace &pace, std::vector<double> *periodsMs);

    LiveTester &m_tester;
    ThreadedDevice &m_testerDevice;
    int m_rounds;
    std::vector<Pace> m_paces;
    QString m_error;
};
