#include "TestAllBench.h"

#include "BenchClock.h"
#include "LiveTester.h"
#include "ResultTable.h"
#include "Stats.h"
#include "ThreadedDevice.h"
#include "TimerfdWalker.h"

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
    : m_tester(tester), m_testerDevice(testerDevice) {
    for (int slider : {1, 10, 333}) {
        Pace pace;
        pace.sliderMs = slider;
        pace.steps = slider >= 100 ? options.testAllSlowSteps : options.testAllSteps;
        m_paces.push_back(pace);
    }
}

bool TestAllBench::runTester(Pace &pace) {
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
        &pace.testerPeriodsMs);
    // The press that stops the walk.
    w.Test_All->click();
    if (!ok)
        m_error = QStringLiteral("the Test All walk at %1 ms did not run").arg(pace.sliderMs);
    return ok && !w.Timer2->isActive();
}

bool TestAllBench::runBaseline(Pace &pace) {
    ThreadedDevice device(m_testerDevice.thread());
    TimerfdWalker walker;
    const bool ok = recordSteps(
        device, pace.steps, pace.sliderMs,
        [&] {
            // One step more than recorded: the first frame only starts the clock.
            return walker.start(device.port(), pace.sliderMs * 1000, pace.steps + 1);
        },
        &pace.basePeriodsMs);
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
    bool ok = true;
    for (Pace &pace : m_paces)
        ok = ok && runTester(pace) && runBaseline(pace);
    w.sldGPIInterval->setValue(333);
    return ok;
}

void TestAllBench::report(ResultTable &table) const {
    for (const Pace &pace : m_paces) {
        const double target = pace.sliderMs;
        const Summary tester = summarise(pace.testerPeriodsMs);
        const Summary base = summarise(pace.basePeriodsMs);

        table.add(ResultRow::compared(QStringLiteral("Test All at %1 ms: step period, %2 steps")
                                          .arg(pace.sliderMs)
                                          .arg(tester.count),
                                      QStringLiteral("ms"), tester, base));

        ResultRow mean;
        mean.figure = QStringLiteral("Test All at %1 ms: mean error").arg(pace.sliderMs);
        mean.unit = QStringLiteral("%");
        mean.median = (tester.mean - target) / target * 100;
        mean.baseMedian = (base.mean - target) / target * 100;
        mean.judge(QStringLiteral("within +-2 %"), std::fabs(mean.median) <= 2);
        table.add(mean);

        const auto jitter = [target](const std::vector<double> &periods) {
            std::vector<double> off;
            for (double p : periods)
                off.push_back(std::fabs(p - target) * 1000);
            return summarise(off);
        };
        const Summary testerJitter = jitter(pace.testerPeriodsMs);
        const Summary baseJitter = jitter(pace.basePeriodsMs);
        ResultRow row = ResultRow::compared(
            QStringLiteral("Test All at %1 ms: jitter |period - %1 ms|").arg(pace.sliderMs),
            QStringLiteral("us"), testerJitter, baseJitter);
        const double ratio = testerJitter.p99 / baseJitter.p99;
        row.ratio = ResultTable::ratioText(ratio) + QStringLiteral(" (p99)");
        row.judge(QStringLiteral("p99 ratio <= 1.5"), ratio <= 1.5);
        table.add(row);
    }
}
