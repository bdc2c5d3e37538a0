#include "SystemClock.h"

#include <windows.h>

namespace {

void store(qint64 value, CounterHalves &buffer) {
    buffer.low = qint32(quint32(quint64(value) & 0xFFFFFFFFu));
    buffer.high = qint32(quint32(quint64(value) >> 32));
}

qint64 performanceCounter() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

} // namespace

SystemClock::SystemClock() : m_origin(performanceCounter()) {}

void SystemClock::queryPerformanceFrequency(CounterHalves &buffer) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    store(frequency.QuadPart, buffer);
}

void SystemClock::queryPerformanceCounter(CounterHalves &buffer) {
    store(performanceCounter() - m_origin, buffer);
}
