#include "SystemClock.h"

#include <time.h>

namespace {

void store(qint64 value, CounterHalves &buffer) {
    buffer.low = qint32(quint32(quint64(value) & 0xFFFFFFFFu));
    buffer.high = qint32(quint32(quint64(value) >> 32));
}

// The clock Qt's own timers count on.
qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

} // namespace

SystemClock::SystemClock() : m_origin(monotonicNs()) {}

void SystemClock::queryPerformanceFrequency(CounterHalves &buffer) {
    store(1000000000, buffer);
}

void SystemClock::queryPerformanceCounter(CounterHalves &buffer) {
    store(monotonicNs() - m_origin, buffer);
}
