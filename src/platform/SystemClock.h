#pragma once

#include "Clock.h"

#include <QElapsedTimer>

// The monotonic clock in nanoseconds since this object was made (so readings stay exact
// in a double for over a hundred days).
class SystemClock : public Clock {
public:
    SystemClock();

    void queryPerformanceFrequency(CounterHalves &buffer) override;
    void queryPerformanceCounter(CounterHalves &buffer) override;

private:
    QElapsedTimer m_elapsed;
};
