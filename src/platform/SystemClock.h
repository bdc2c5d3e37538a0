#pragma once

#include "Clock.h"

// The system's high-resolution counter, read from when this object was made (so readings stay
// exact in a double for over a hundred days). On Linux the counter is the monotonic clock in
// nanoseconds; on Windows it is the performance counter at its own frequency.
class SystemClock : public Clock {
public:
    SystemClock();

    void queryPerformanceFrequency(CounterHalves &buffer) override;
    void queryPerformanceCounter(CounterHalves &buffer) override;

private:
    // The counter's reading when this clock was made.
    qint64 m_origin = 0;
};
