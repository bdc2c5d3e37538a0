#include "SystemClock.h"

namespace {
void store(qint64 value, CounterHalves &buffer) {
    buffer.low = qint32(quint32(quint64(value) & 0xFFFFFFFFu));
    buffer.high = qint32(quint32(quint64(value) >> 32));
}
} // namespace

SystemClock::SystemClock() {
    m_elapsed.start();
}

void SystemClock::queryPerformanceFrequency(CounterHalves &buffer) {
    // QElapsedTimer counts nanoseconds from the monotonic clock.
    store(1000000000, buffer);
}

void SystemClock::queryPerformanceCounter(CounterHalves &buffer) {
    store(m_elapsed.nsecsElapsed(), buffer);
}
