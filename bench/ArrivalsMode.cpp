#include "ArrivalsMode.h"

#include "DeviceThread.h"
#include "LiveTester.h"
#include "ThreadedDevice.h"

#include <QCoreApplication>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name)
#endif

namespace {

// The device's side: one walking GPI input message per call of sendNext(); each echo is
// handed to the tester's thread, which finishes all its pending work and asks for the next.
class ArrivalPacer : public QObject {
public:
    ArrivalPacer(ThreadedDevice &device, QObject &testerSide, int count, Completion &done)
        : m_device(device), m_testerSide(testerSide), m_count(count), m_done(done) {
        connect(&m_device.device(), &sim::SimulatedDevice::frameReceived, this,
                &ArrivalPacer::onFrame);
    }

    void sendNext() {
        m_walk = (m_walk + 1) % 24;
        m_device.device().setInputs(sim::AllOff & ~(1u << m_walk));
    }

private:
    void onFrame(const sim::SimFrame &frame) {
        if (!isSetOutputsFrame(frame))
            return;
        if (++m_echoed >= m_count) {
            m_done.finish();
            return;
        }
        QMetaObject::invokeMethod(
            &m_testerSide,
            [this] {
                // Repaints and whatever else the arrival left pending, then the next one.
                QCoreApplication::sendPostedEvents();
                m_device.thread().post([this] { sendNext(); });
            },
            Qt::QueuedConnection);
    }

    ThreadedDevice &m_device;
    QObject &m_testerSide;
    int m_count;
    Completion &m_done;
    int m_walk = 0;
    int m_echoed = 0;
};

} // namespace

int runArrivals(int count, QString *error) {
    DeviceThread thread;
    ThreadedDevice device(thread);
    LiveTester tester;
    if (!tester.connectTo(device.port()) || !device.waitForConnection(true)) {
        *error = QStringLiteral("the tester could not connect to the simulated device");
        return 2;
    }
    tester.form().Echo->setChecked(true);

    QObject testerSide;
    Completion done;
    ArrivalPacer *pacer = nullptr;
    thread.call([&] { pacer = new ArrivalPacer(device, testerSide, count, done); });
    QCoreApplication::sendPostedEvents();
    CALLGRIND_ZERO_STATS;
    thread.post([pacer] { pacer->sendNext(); });
    const bool finished = done.wait(600000);
    CALLGRIND_DUMP_STATS_AT("arrivals");
    thread.call([&] { delete pacer; });
    tester.disconnect();
    if (!finished) {
        *error = QStringLiteral("the arrivals stalled");
        return 1;
    }
    return 0;
}
