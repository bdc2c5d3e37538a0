#pragma once

#include "BenchOptions.h"
#include "RawFloodReader.h"
#include "Stats.h"

#include <QString>
#include <vector>

class LiveTester;
class ResultTable;
class ThreadedDevice;

// Receive throughput: the device writes GPI input messages as fast as its socket takes them
// for a while, the tester handles what arrives (log, indicators, trim), and right after the
// flood a Query In click is posted as an operator's click would be; the device times how
// long until the request reaches it. The same flood read by a raw socket reader is the
// baseline for the rates; rounds of the two alternate, tester then raw, and each pair gives
// one ratio of their median rates.
class FloodBench {
public:
    FloodBench(LiveTester &tester, ThreadedDevice &testerDevice, const BenchOptions &options);

    bool run();
    void report(ResultTable &table) const;
    QString error() const { return m_error; }

private:
    struct Round {
        std::int64_t startNs = 0;
        std::int64_t endNs = 0;
        std::vector<Arrival> arrivals;
        qint64 framesWritten = 0;
        qint64 framesDropped = 0;
    };

    bool floodTester();
    bool floodRaw();
    // The same flood to the Python script; false only when it was there and failed.
    bool floodPython();
    struct Rates {
        std::vector<double> framesPerSecond;
        std::vector<double> arrivalsPerSecond;
    };
    // Per 100 ms window of the round's flood.
    static void addRates(const Round &round, Rates *rates);

    LiveTester &m_tester;
    ThreadedDevice &m_testerDevice;
    BenchOptions m_options;
    std::vector<Round> m_testerRounds;
    std::vector<Round> m_rawRounds;
    std::vector<Round> m_pythonRounds;
    QString m_pythonNote;
    // Click to request at the device, one per tester round.
    Rounds m_queryMs;
    int m_maxLogLines = 0;
    qint64 m_rssBeforeKb = 0;
    qint64 m_peakKb = 0;
    QString m_error;
};
