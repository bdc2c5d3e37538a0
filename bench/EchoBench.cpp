#include "EchoBench.h"

#include "BenchClock.h"
#include "LiveTester.h"
#include "PythonAnchor.h"
#include "RawEchoClient.h"
#include "ResultTable.h"
#include "Stats.h"
#include "ThreadedDevice.h"

#include <QTimer>

#include <memory>

namespace {

// The device's side: sends one GPI input message, notes the time from the write to the read
// of its echo, waits the gap so that the echoing side is idle again, and sends the next.
// Lives in the device thread.
class EchoPacer : public QObject {
public:
    EchoPacer(sim::SimulatedDevice &device, int frames, int gapMs, Completion &done)
        : m_device(device), m_frames(frames), m_gapMs(gapMs), m_done(done) {
        connect(&m_device, &sim::SimulatedDevice::frameReceived, this, &EchoPacer::onFrame);
    }

    void start() { sendNext(); }

    std::vector<double> turnaroundsUs;
    std::vector<std::int64_t> sentNs;
    int mismatches = 0;

private:
    void sendNext() {
        // One input on at a time, walking: every message differs from the one before, so the
        // indicators change with each.
        sim::GpiBits bits = m_device.inputs();
        while (bits == m_device.inputs()) {
            m_walk = (m_walk + 1) % 24;
            bits = sim::AllOff & ~(1u << m_walk);
        }
        m_expected = sim::gpiInputMessage(bits);
        m_sentNs = nowNs();
        sentNs.push_back(m_sentNs);
        m_device.setInputs(bits);
    }

    void onFrame(const sim::SimFrame &frame) {
        const std::int64_t now = nowNs();
        if (!isSetOutputsFrame(frame) || m_sentNs == 0)
            return;
        turnaroundsUs.push_back(double(now - m_sentNs) / 1000.0);
        if (frame.bytes != m_expected)
            ++mismatches;
        m_sentNs = 0;
        if (int(turnaroundsUs.size()) >= m_frames) {
            m_done.finish();
            return;
        }
        QTimer::singleShot(m_gapMs, Qt::PreciseTimer, this, &EchoPacer::sendNext);
    }

    sim::SimulatedDevice &m_device;
    int m_frames;
    int m_gapMs;
    Completion &m_done;
    int m_walk = 0;
    QByteArray m_expected;
    std::int64_t m_sentNs = 0;
};

} // namespace

EchoBench::EchoBench(LiveTester &tester, ThreadedDevice &testerDevice, const BenchOptions &options)
    : m_tester(tester), m_testerDevice(testerDevice), m_options(options) {}

bool EchoBench::runRound(ThreadedDevice &device, int frames, std::vector<double> *turnaroundsUs) {
    Completion done;
    EchoPacer *pacer = nullptr;
    std::vector<std::int64_t> sentNs;
    device.thread().call([&] {
        pacer = new EchoPacer(device.device(), frames, m_options.echoGapMs, done);
        pacer->start();
    });
    // A lost echo stalls the round; allow far more than the slowest machine needs.
    const bool finished = done.wait(30000 + frames * (m_options.echoGapMs + 10));
    device.thread().call([&] {
        if (turnaroundsUs)
            turnaroundsUs->insert(turnaroundsUs->end(), pacer->turnaroundsUs.begin(),
                                  pacer->turnaroundsUs.end());
        m_mismatches += pacer->mismatches;
        sentNs = pacer->sentNs;
        delete pacer;
    });
    if (!finished)
        m_error = QStringLiteral("echo round stalled: an echo never came back");
    m_lastSentNs = sentNs;
    return finished;
}

// A tester round also notes when the receive handler began (its first reading of the clock)
// and when it ended (this slot runs right after it, connected later).
bool EchoBench::runTesterRound(int frames, std::vector<double> *turnaroundsUs) {
    Form1 &w = m_tester.form();
    std::vector<std::pair<std::int64_t, std::int64_t>> handled;
    handled.reserve(std::size_t(frames));
    const QMetaObject::Connection noting =
        QObject::connect(&w.Vorn, &DeviceSocket::dataArrival, &w, [&] {
            handled.emplace_back(m_tester.clock().lastCounterReadNs(), nowNs());
        });
    const bool ok = runRound(m_testerDevice, frames, turnaroundsUs);
    QObject::disconnect(noting);
    if (ok && handled.size() == m_lastSentNs.size()) {
        for (std::size_t i = 0; i < handled.size(); ++i) {
            m_handlerStartUs.push_back(double(handled[i].first - m_lastSentNs[i]) / 1000.0);
            m_handlerEndUs.push_back(double(handled[i].second - m_lastSentNs[i]) / 1000.0);
        }
    }
    return ok;
}

bool EchoBench::run() {
    Form1 &w = m_tester.form();
    w.Echo->setChecked(true);
    if (!w.Echo->isChecked() || !w.Echo->isEnabled()) {
        m_error = QStringLiteral("Echo could not be checked");
        return false;
    }

    ThreadedDevice rawDevice(m_testerDevice.thread());
    RawEchoClient raw;
    if (!raw.start(rawDevice.port()) || !rawDevice.waitForConnection(true)) {
        m_error = QStringLiteral("the raw echo client could not connect");
        return false;
    }

    // The user's anchor, when the machine has python3: a third device, echoed by the script.
    std::unique_ptr<ThreadedDevice> pythonDevice;
    PythonAnchor python;
    if (!PythonAnchor::interpreter().isEmpty()) {
        pythonDevice = std::make_unique<ThreadedDevice>(m_testerDevice.thread());
        if (!python.start(QStringLiteral("echo"), pythonDevice->port()) ||
            !pythonDevice->waitForConnection(true)) {
            m_pythonNote = python.error();
            pythonDevice.reset();
        }
    } else {
        m_pythonNote = QStringLiteral("no python3 on PATH");
    }

    bool ok = runRound(m_testerDevice, m_options.echoWarmup, nullptr) &&
              runRound(rawDevice, m_options.echoWarmup, nullptr) &&
              (!pythonDevice || runRound(*pythonDevice, m_options.echoWarmup, nullptr));
    for (int round = 0; ok && round < m_options.echoRounds; ++round) {
        std::vector<double> testerUs, rawUs, pythonUs;
        ok = runTesterRound(m_options.echoFramesPerRound, &testerUs) &&
             runRound(rawDevice, m_options.echoFramesPerRound, &rawUs) &&
             (!pythonDevice || runRound(*pythonDevice, m_options.echoFramesPerRound, &pythonUs));
        if (!ok)
            break;
        m_ratios.add(summarise(testerUs).median / summarise(rawUs).median);
        m_testerUs.insert(m_testerUs.end(), testerUs.begin(), testerUs.end());
        m_rawUs.insert(m_rawUs.end(), rawUs.begin(), rawUs.end());
        if (pythonDevice) {
            m_pythonRatios.add(summarise(pythonUs).median / summarise(rawUs).median);
            m_pythonUs.insert(m_pythonUs.end(), pythonUs.begin(), pythonUs.end());
        }
    }
    raw.stop();
    if (pythonDevice) {
        // Closing the device's side ends the script.
        pythonDevice.reset();
        if (!python.finish() && ok) {
            m_error = python.error();
            ok = false;
        }
    }

    m_logLines = w.ListBox->count();
    m_lastLogLine = m_logLines > 0 ? w.ListBox->text(m_logLines - 1) : QString();
    w.Echo->setChecked(false);
    return ok;
}

void EchoBench::report(ResultTable &table) const {
    const Summary tester = summarise(m_testerUs);
    const Summary raw = summarise(m_rawUs);
    ResultRow row = ResultRow::compared(QStringLiteral("Echo turnaround, %1 x %2 frames")
                                            .arg(m_ratios.count())
                                            .arg(m_options.echoFramesPerRound),
                                        QStringLiteral("us"), tester, raw);
    const double ratio = row.showRatios(m_ratios);
    row.judge(QStringLiteral("ratio <= 1.5, p99 <= 1000 us"),
              ratio <= 1.5 && tester.p99 <= 1000 && m_mismatches == 0);
    table.add(row);
    table.add(ResultRow::measured(QStringLiteral("  of which: tester's receive handler starts"),
                                  QStringLiteral("us"), summarise(m_handlerStartUs)));
    table.add(ResultRow::measured(
        QStringLiteral("  tester's receive handler done (echo sent, log trimmed)"),
        QStringLiteral("us"), summarise(m_handlerEndUs)));
    if (!m_pythonUs.empty()) {
        ResultRow python =
            ResultRow::compared(QStringLiteral("  anchor: Python socket script, same rounds"),
                                QStringLiteral("us"), summarise(m_pythonUs), raw);
        python.showRatios(m_pythonRatios);
        table.add(python);
    } else {
        table.note(
            QStringLiteral("Echo: the Python anchor was not measured: %1.").arg(m_pythonNote));
    }

    table.note(QStringLiteral("Echo: %1 echoes differed from the message sent; the log held %2 "
                              "lines, the newest \"%3\".")
                   .arg(m_mismatches)
                   .arg(m_logLines)
                   .arg(m_lastLogLine));
}
