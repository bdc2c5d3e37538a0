#include "TestAllBench.h"

#include "BenchClock.h"
#include "LiveTester.h"
#include "ResultTable.h"
#include "Stats.h"
#include "ThreadedDevice.h"
#include "TimerfdWalker.h"
#include "platform/TimerWaker.h"

#include <cmath>

namespace {

// The device's side: notes the arrival of every set-outputs frame that switches one output
// on (the steps; the all-off frame of the press is left out) until it has enough.
class StepRecorder : public QObject {
public:
    StepRecorder(sim::SimulatedDevice &device, int frames, Completion &done)
        : m_frames(frames), m_done(done) {
        connect(&device, &sim::SimulatedDevice::frameReceived, this, &StepRecorder::onFrame);
    }

    std::vector<std::int64_t> arrivalsNs;

private:
    void onFrame(const sim::SimFrame &frame) {
        const std::int64_t now = nowNs();
        if (!isSetOutputsFrame(frame) || frame.bytes.endsWith(QByteArray::fromHex("ffffff")))
            return;
        if (int(arrivalsNs.size()) < m_frames)
            arrivalsNs.push_back(now);
        if (int(arrivalsNs.size()) == m_frames)
            m_done.finish();
    }

    int m_frames;
    Completion &m_done;
};

// How far each period is from the slider value, in microseconds.
Summary jitterUs(const std::vector<double> &periodsMs, double targetMs) {
    std::vector<double> off;
    off.reserve(periodsMs.size());
    for (double p : periodsMs)
        off.push_back(std::fabs(p - targetMs) * 1000);
    return summarise(off);
}

double meanErrorPercent(const Summary &periods, double targetMs) {
    return (periods.mean - targetMs) / targetMs * 100;
}

std::vector<double> periodsMs(const std::vector<std::int64_t> &arrivalsNs) {
    std::vector<double> periods;
    for (std::size_t i = 1; i < arrivalsNs.size(); ++i)
        periods.push_back(double(arrivalsNs[i] - arrivalsNs[i - 1]) / 1e6);
    return periods;
}

// Records `steps` periods on `device` while start() makes them come; false if they stall.
template <class Start>
bool recordSteps(ThreadedDevice &device, int steps, int sliderMs, Start start,
                 std::vector<double> *periods) {
    Completion done;
    StepRecorder *recorder = nullptr;
    device.thread().call([&] { recorder = new StepRecorder(device.device(), steps + 1, done); });
    const bool started = start();
    const bool finished = started && done.wait(10000 + 3 * steps * sliderMs);
    device.thread().call([&] {
        *periods = periodsMs(recorder->arrivalsNs);
        delete recorder;
    });
    return finished;
}

} // namespace

TestAllBench::TestAllBench(LiveTester &tester, ThreadedDevice &testerDevice,
                           const BenchOptions &options)
    : m_tester(tester), m_testerDevice(testerDevice), m_rounds(options.testAllRounds) {
    const std::pair<int, int> paces[] = {{1, options.testAllSteps1ms},
                                         {10, options.testAllSteps10ms},
                                         {333, options.testAllSteps333ms}};
    for (const auto &[slider, steps] : paces) {
        Pace pace;
        pace.sliderMs = slider;
        pace.steps = steps;
        m_paces.push_back(pace);
    }
}

bool TestAllBench::runTester(const Pace &pace, std::vector<double> *periodsMs) {
    Form1 &w = m_tester.form();
    w.sldGPIInterval->setValue(pace.sliderMs);
    if (w.Timer2->interval() != pace.sliderMs) {
        m_error = QStringLiteral("the slider did not set the walk's pace");
        return false;
    }
    const bool ok = recordSteps(
        m_testerDevice, pace.steps, pace.sliderMs,
        [&w] {
            w.Test_All->click();
            return w.Timer2->isActive();
        },
        periodsMs);
    // The press that stops the walk.
    w.Test_All->click();
    if (!ok)
        m_error = QStringLiteral("the Test All walk at %1 ms did not run").arg(pace.sliderMs);
    return ok && !w.Timer2->isActive();
}

bool TestAllBench::runUnwaked(const Pace &pace, std::vector<double> *periodsMs) {
    TimerWaker &waker = m_tester.form().timer2Waker();
    waker.setWaking(false);
    const bool ok = runTester(pace, periodsMs);
    waker.setWaking(true);
    return ok;
}

bool TestAllBench::runBaseline(const Pace &pace, std::vector<double> *periodsMs) {
    ThreadedDevice device(m_testerDevice.thread());
    TimerfdWalker walker;
    const bool ok = recordSteps(
        device, pace.steps, pace.sliderMs,
        [&] {
            // One step more than recorded: the first frame only starts the clock.
            return walker.start(device.port(), pace.sliderMs * 1000, pace.steps + 1);
        },
        periodsMs);
    walker.stop();
    if (!ok)
        m_error = QStringLiteral("the timerfd walk at %1 ms did not run").arg(pace.sliderMs);
    return ok;
}

bool TestAllBench::run() {
    Form1 &w = m_tester.form();
    w.Echo->setChecked(false);
    if (!w.Test_All->isEnabled()) {
        m_error = QStringLiteral("Test All is locked");
        return false;
    }
    // Each round walks at every pace, so that the rounds of one pace are spread over the
    // whole part and a passing burst of load falls on few of them.
    bool ok = true;
    for (int round = 0; ok && round < m_rounds; ++round) {
        for (Pace &pace : m_paces) {
            std::vector<double> tester, base, unwaked;
            ok = runTester(pace, &tester) && runBaseline(pace, &base) &&
                 (pace.sliderMs > 10 || runUnwaked(pace, &unwaked));
            if (!ok)
                break;
            if (!unwaked.empty()) {
                pace.unwakedMeanErrors.add(meanErrorPercent(summarise(unwaked), pace.sliderMs));
                pace.unwakedPeriodsMs.insert(pace.unwakedPeriodsMs.end(), unwaked.begin(),
                                             unwaked.end());
            }
            pace.testerMeanErrors.add(meanErrorPercent(summarise(tester), pace.sliderMs));
            pace.jitterRatios.add(jitterUs(tester, pace.sliderMs).p99 /
                                  jitterUs(base, pace.sliderMs).p99);
            pace.testerPeriodsMs.insert(pace.testerPeriodsMs.end(), tester.begin(), tester.end());
            pace.basePeriodsMs.insert(pace.basePeriodsMs.end(), base.begin(), base.end());
        }
    }
    w.sldGPIInterval->setValue(333);
    return ok;
}

void TestAllBench::report(ResultTable &table) const {
    for (const Pace &pace : m_paces) {
        const double target = pace.sliderMs;
        const Summary tester = summarise(pace.testerPeriodsMs);
        const Summary base = summarise(pace.basePeriodsMs);

        table.add(
            ResultRow::compared(QStringLiteral("Test All at %1 ms: step period, %2 x %3 steps")
                                    .arg(pace.sliderMs)
                                    .arg(pace.testerMeanErrors.count())
                                    .arg(pace.steps),
                                QStringLiteral("ms"), tester, base));

        // The mean over all rounds; the spread is that of the rounds' own means.
        ResultRow mean;
        mean.figure = QStringLiteral("Test All at %1 ms: mean error").arg(pace.sliderMs);
        mean.unit = QStringLiteral("%");
        mean.median = meanErrorPercent(tester, target);
        mean.baseMedian = meanErrorPercent(base, target);
        mean.showSpread(pace.testerMeanErrors);
        mean.judge(QStringLiteral("within +-2 %"), tester.count > 0 && std::fabs(mean.median) <= 2);
        table.add(mean);

        const Summary testerJitter = jitterUs(pace.testerPeriodsMs, target);
        ResultRow row = ResultRow::compared(
            QStringLiteral("Test All at %1 ms: jitter |period - %1 ms|").arg(pace.sliderMs),
            QStringLiteral("us"), testerJitter, jitterUs(pace.basePeriodsMs, target));
        row.showRatios(pace.jitterRatios);
        row.ratio += QStringLiteral(" (p99)");
        row.judge(QStringLiteral("p99 <= 1000 us"),
                  testerJitter.count > 0 && testerJitter.p99 <= 1000);
        table.add(row);

        if (pace.unwakedPeriodsMs.empty())
            continue;
        // The same walk on Qt's timer alone, for what the waker is worth.
        const Summary unwaked = summarise(pace.unwakedPeriodsMs);
        ResultRow plainMean;
        plainMean.figure = QStringLiteral("  without the timer waker: mean error");
        plainMean.unit = QStringLiteral("%");
        plainMean.median = meanErrorPercent(unwaked, target);
        plainMean.showSpread(pace.unwakedMeanErrors);
        table.add(plainMean);
        table.add(ResultRow::measured(QStringLiteral("  without the timer waker: jitter"),
                                      QStringLiteral("us"),
                                      jitterUs(pace.unwakedPeriodsMs, target)));
    }
}
