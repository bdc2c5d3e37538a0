#pragma once

#include "platform/Clock.h"

// A clock that stands still until the test moves it.
class FakeClock : public Clock {
public:
    void queryPerformanceFrequency(CounterHalves &buffer) override { store(frequency, buffer); }
    void queryPerformanceCounter(CounterHalves &buffer) override {
        store(counter, buffer);
        ++counterReads;
    }
    void advance(double seconds) { counter += qint64(seconds * double(frequency)); }

    qint64 frequency = 10000000; // 10 MHz
    qint64 counter = 0;
    int counterReads = 0;

private:
    static void store(qint64 value, CounterHalves &buffer) {
        buffer.low = qint32(quint32(quint64(value) & 0xFFFFFFFFu));
        buffer.high = qint32(quint32(quint64(value) >> 32));
    }
};
