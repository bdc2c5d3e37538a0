#include "FloodBench.h"

#include "BenchClock.h"
#include "LiveTester.h"
#include "PythonAnchor.h"
#include "ResultTable.h"
#include "Stats.h"
#include "ThreadedDevice.h"

#include <QFile>
#include <QTimer>

namespace {

// Frames the device hands to its socket per turn of its event loop; between turns the socket
// passes what it holds on to the kernel.
constexpr int FramesPerTurn = 64;
constexpr std::int64_t WindowNs = 100'000'000;

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
qint64 statusKb(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// The device's side: walking GPI input messages as fast as the socket takes them for the
// flood's length, then, if asked, an operator's click on a button of the tester's window,
// timed until the device sees the input status request it sends.
class Flooder : public QObject {
public:
    Flooder(sim::SimulatedDevice &device, std::int64_t durationNs, QObject *button,
            Completion &done)
        : m_device(device), m_durationNs(durationNs), m_button(button), m_done(done) {
        connect(&m_device, &sim::SimulatedDevice::frameReceived, this, &Flooder::onFrame);
    }

    void start() {
        m_sentBefore = m_device.stats().framesSent.value(QStringLiteral("GPI input message"));
        m_droppedBefore = m_device.stats().dropped;
        startNs = nowNs();
        turn();
    }

    std::int64_t startNs = 0;
    std::int64_t endNs = 0;
    std::int64_t clickNs = 0;
    std::int64_t requestNs = 0;
    qint64 written = 0;
    qint64 dropped = 0;

private:
    void turn() {
        for (int i = 0; i < FramesPerTurn; ++i) {
            m_walk = (m_walk + 1) % 24;
            m_device.setInputs(sim::AllOff & ~(1u << m_walk));
        }
        if (nowNs() - startNs < m_durationNs) {
            QTimer::singleShot(0, this, &Flooder::turn);
            return;
        }
        endNs = nowNs();
        written =
            m_device.stats().framesSent.value(QStringLiteral("GPI input message")) - m_sentBefore;
        dropped = m_device.stats().dropped - m_droppedBefore;
        if (!m_button) {
            m_done.finish();
            return;
        }
        // The click goes through the tester's event queue like a click from the window
        // system, behind whatever the flood left there.
        clickNs = nowNs();
        QMetaObject::invokeMethod(m_button, "click", Qt::QueuedConnection);
    }

    void onFrame(const sim::SimFrame &frame) {
        if (clickNs != 0 && requestNs == 0 && frame.bytes == QByteArray::fromHex("ff0001")) {
            requestNs = nowNs();
            m_done.finish();
        }
    }

    sim::SimulatedDevice &m_device;
    std::int64_t m_durationNs;
    QObject *m_button;
    Completion &m_done;
    int m_walk = 0;
    qint64 m_sentBefore = 0;
    qint64 m_droppedBefore = 0;
};

} // namespace

FloodBench::FloodBench(LiveTester &tester, ThreadedDevice &testerDevice,
                       const BenchOptions &options)
    : m_tester(tester), m_testerDevice(testerDevice), m_options(options) {}

bool FloodBench::floodTester() {
    Form1 &w = m_tester.form();
    Round round;
    round.arrivals.reserve(1 << 20);
    // Runs after the receive dispatcher, which connected first: it sees each arrival handled.
    const QMetaObject::Connection counting =
        QObject::connect(&w.Vorn, &DeviceSocket::dataArrival, &w, [&](qint64 bytes) {
            round.arrivals.push_back({nowNs(), bytes});
            m_maxLogLines = std::max(m_maxLogLines, w.ListBox->count());
        });

    Completion done;
    Flooder *flooder = nullptr;
    m_testerDevice.thread().call([&] {
        flooder = new Flooder(m_testerDevice.device(), std::int64_t(m_options.floodMs) * 1000000,
                              w.GPI_Query_Inputs, done);
        flooder->start();
    });
    const bool finished = done.wait(m_options.floodMs + 30000);
    // What is still on its way is handled before the next round starts.
    runUntil(
        [&] { return !round.arrivals.empty() && nowNs() - round.arrivals.back().ns > 200000000; },
        30000);
    QObject::disconnect(counting);
    m_testerDevice.thread().call([&] {
        round.startNs = flooder->startNs;
        round.endNs = flooder->endNs;
        round.framesWritten = flooder->written;
        round.framesDropped = flooder->dropped;
        if (flooder->requestNs != 0)
            m_queryMs.add(double(flooder->requestNs - flooder->clickNs) / 1e6);
        delete flooder;
    });
    m_testerRounds.push_back(std::move(round));
    if (!finished)
        m_error = QStringLiteral("Query In after the flood never reached the device");
    return finished;
}

bool FloodBench::floodRaw() {
    ThreadedDevice device(m_testerDevice.thread());
    RawFloodReader reader;
    if (!reader.start(device.port()) || !device.waitForConnection(true)) {
        m_error = QStringLiteral("the raw reader could not connect");
        return false;
    }
    Completion done;
    Flooder *flooder = nullptr;
    device.thread().call([&] {
        flooder =
            new Flooder(device.device(), std::int64_t(m_options.floodMs) * 1000000, nullptr, done);
        flooder->start();
    });
    const bool finished = done.wait(m_options.floodMs + 30000);
    Round round;
    device.thread().call([&] {
        round.startNs = flooder->startNs;
        round.endNs = flooder->endNs;
        round.framesWritten = flooder->written;
        round.framesDropped = flooder->dropped;
        delete flooder;
    });
    reader.stop();
    round.arrivals = reader.arrivals();
    m_rawRounds.push_back(std::move(round));
    return finished;
}

bool FloodBench::floodPython() {
    if (PythonAnchor::interpreter().isEmpty()) {
        m_pythonNote = QStringLiteral("no python3 on PATH");
        return true;
    }
    PythonAnchor python;
    Round round;
    {
        ThreadedDevice device(m_testerDevice.thread());
        if (!python.start(QStringLiteral("flood"), device.port()) ||
            !device.waitForConnection(true)) {
            m_error = python.error().isEmpty()
                          ? QStringLiteral("the Python script could not connect")
                          : python.error();
            return false;
        }
        Completion done;
        Flooder *flooder = nullptr;
        device.thread().call([&] {
            flooder = new Flooder(device.device(), std::int64_t(m_options.floodMs) * 1000000,
                                  nullptr, done);
            flooder->start();
        });
        const bool finished = done.wait(m_options.floodMs + 30000);
        device.thread().call([&] {
            round.startNs = flooder->startNs;
            round.endNs = flooder->endNs;
            round.framesWritten = flooder->written;
            round.framesDropped = flooder->dropped;
            delete flooder;
        });
        if (!finished)
            return false;
        // The device goes at the end of this block, which closes the connection and lets the
        // script report its reads.
    }
    if (!python.finish()) {
        m_error = python.error();
        return false;
    }
    round.arrivals = python.arrivals();
    m_pythonRounds.push_back(std::move(round));
    return true;
}

bool FloodBench::run() {
    Form1 &w = m_tester.form();
    w.Echo->setChecked(false);
    if (!w.GPI_Query_Inputs->isEnabled()) {
        m_error = QStringLiteral("Query In is locked");
        return false;
    }
    m_rssBeforeKb = statusKb("VmRSS");
    bool ok = true;
    for (int round = 0; ok && round < m_options.floodRounds; ++round)
        ok = floodTester() && floodRaw() && floodPython();
    m_peakKb = statusKb("VmHWM");
    return ok;
}

void FloodBench::addRates(const Round &round, Rates *rates) {
    // Whole windows of the flood only.
    const int windows = int((round.endNs - round.startNs) / WindowNs);
    std::vector<double> bytes(std::size_t(std::max(windows, 0)), 0);
    std::vector<double> count(bytes.size(), 0);
    for (const Arrival &a : round.arrivals) {
        const std::int64_t at = (a.ns - round.startNs) / WindowNs;
        if (a.ns < round.startNs || at >= windows)
            continue;
        bytes[std::size_t(at)] += double(a.bytes);
        count[std::size_t(at)] += 1;
    }
    const double perSecond = 1e9 / double(WindowNs);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        rates->framesPerSecond.push_back(bytes[i] / 7 * perSecond);
        rates->arrivalsPerSecond.push_back(count[i] * perSecond);
    }
}

void FloodBench::report(ResultTable &table) const {
    Rates tester, raw;
    Rounds frameRatios, arrivalRatios;
    qint64 written = 0, dropped = 0;
    for (std::size_t i = 0; i < m_testerRounds.size() && i < m_rawRounds.size(); ++i) {
        Rates testerRound, rawRound;
        addRates(m_testerRounds[i], &testerRound);
        addRates(m_rawRounds[i], &rawRound);
        frameRatios.add(summarise(testerRound.framesPerSecond).median /
                        summarise(rawRound.framesPerSecond).median);
        arrivalRatios.add(summarise(testerRound.arrivalsPerSecond).median /
                          summarise(rawRound.arrivalsPerSecond).median);
        addRates(m_testerRounds[i], &tester);
        addRates(m_rawRounds[i], &raw);
        written += m_testerRounds[i].framesWritten;
        dropped += m_testerRounds[i].framesDropped;
    }

    // For rates the slow end matters: the p99 column holds the rate 99 % of windows reached.
    const auto slowEnd = [](const std::vector<double> &rates) {
        Summary summary = summarise(rates);
        summary.p99 = summary.p1;
        return summary;
    };
    ResultRow frames = ResultRow::compared(QStringLiteral("frames handled per second (%1 x %2 ms)")
                                               .arg(frameRatios.count())
                                               .arg(m_options.floodMs),
                                           QStringLiteral("1/s"), slowEnd(tester.framesPerSecond),
                                           slowEnd(raw.framesPerSecond));
    frames.judge(QStringLiteral("ratio >= 0.8"), frames.showRatios(frameRatios) >= 0.8);
    table.add(frames);
    ResultRow arrivals =
        ResultRow::compared(QStringLiteral("arrivals handled per second"), QStringLiteral("1/s"),
                            slowEnd(tester.arrivalsPerSecond), slowEnd(raw.arrivalsPerSecond));
    arrivals.showRatios(arrivalRatios);
    table.add(arrivals);

    if (!m_pythonRounds.empty()) {
        Rates python, rawAgain;
        Rounds pythonRatios;
        for (std::size_t i = 0; i < m_pythonRounds.size() && i < m_rawRounds.size(); ++i) {
            Rates pythonRound, rawRound;
            addRates(m_pythonRounds[i], &pythonRound);
            addRates(m_rawRounds[i], &rawRound);
            pythonRatios.add(summarise(pythonRound.framesPerSecond).median /
                             summarise(rawRound.framesPerSecond).median);
            addRates(m_pythonRounds[i], &python);
            addRates(m_rawRounds[i], &rawAgain);
        }
        ResultRow row =
            ResultRow::compared(QStringLiteral("  anchor: Python socket script, frames per second"),
                                QStringLiteral("1/s"), slowEnd(python.framesPerSecond),
                                slowEnd(rawAgain.framesPerSecond));
        row.showRatios(pythonRatios);
        table.add(row);
    } else if (!m_pythonNote.isEmpty()) {
        table.note(
            QStringLiteral("Flood: the Python anchor was not measured: %1.").arg(m_pythonNote));
    }

    ResultRow log;
    log.figure = QStringLiteral("log lines after each trim, most seen");
    log.unit = QStringLiteral("lines");
    log.median = m_maxLogLines;
    log.judge(QStringLiteral("<= 100"), m_maxLogLines <= 100);
    table.add(log);

    ResultRow memory;
    memory.figure = QStringLiteral("peak resident memory (VmHWM), whole benchmark");
    memory.unit = QStringLiteral("MB");
    memory.median = double(m_peakKb) / 1024;
    memory.baseMedian = double(m_rssBeforeKb) / 1024;
    memory.ratio =
        QStringLiteral("+%1 MB").arg(ResultTable::number(double(m_peakKb - m_rssBeforeKb) / 1024));
    table.add(memory);

    // One click per round: the p99 column is the slowest, and every one must make it.
    const Summary query = summarise(m_queryMs.values());
    ResultRow click =
        ResultRow::measured(QStringLiteral("Query In click to FF 00 01 at the device, after flood"),
                            QStringLiteral("ms"), query);
    click.showSpread(m_queryMs);
    click.judge(QStringLiteral("<= 50 ms"),
                query.count == int(m_testerRounds.size()) && query.max <= 50);
    table.add(click);

    table.note(QStringLiteral("Flood: the device wrote %1 GPI input messages to the tester's "
                              "connection and dropped %2 its socket would not take. Rates are "
                              "per 100 ms window; their p99 column is the rate 99 % of windows "
                              "reached.")
                   .arg(written)
                   .arg(dropped));
}
