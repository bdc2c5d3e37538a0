#pragma once

#include "BenchOptions.h"
#include "Stats.h"

#include <QString>
#include <vector>

class LiveTester;
class ResultTable;
class ThreadedDevice;

// Echo turnaround: the device sends a GPI input message and times how long until the echo
// comes back, one frame at a time, once through the tester with Echo checked and once
// through a raw socket echo client. Rounds of the two alternate, tester then raw, so that a
// machine that gets busier or quieter during the run affects both alike; each pair of rounds
// gives one ratio of their medians.
class EchoBench {
public:
    EchoBench(LiveTester &tester, ThreadedDevice &testerDevice, const BenchOptions &options);

    bool run();
    void report(ResultTable &table) const;
    QString error() const { return m_error; }

private:
    bool runRound(ThreadedDevice &device, int frames, std::vector<double> *turnaroundsUs);
    bool runTesterRound(int frames, std::vector<double> *turnaroundsUs);

    LiveTester &m_tester;
    ThreadedDevice &m_testerDevice;
    BenchOptions m_options;
    std::vector<double> m_testerUs;
    std::vector<double> m_rawUs;
    Rounds m_ratios;
    // The same rounds through the Python script, against the same raw rounds; empty without
    // python3.
    std::vector<double> m_pythonUs;
    Rounds m_pythonRatios;
    QString m_pythonNote;
    // From the device's write to the start and to the end of the tester's receive handler.
    std::vector<double> m_handlerStartUs;
    std::vector<double> m_handlerEndUs;
    std::vector<std::int64_t> m_lastSentNs;
    int m_mismatches = 0;
    int m_logLines = 0;
    QString m_lastLogLine;
    QString m_error;
};
