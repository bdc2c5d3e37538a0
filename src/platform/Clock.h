#pragma once

#include <QtGlobal>

// A 64-bit counter reading as two 32-bit halves, low half first.
struct CounterHalves {
    qint32 low = 0;
    qint32 high = 0;
};

// The high-resolution counter: steady, so that ages measured on it hold across midnight
// and across a change of the system's time.
class Clock {
public:
    virtual ~Clock() = default;

    // Ticks per second of the counter that queryPerformanceCounter reads.
    virtual void queryPerformanceFrequency(CounterHalves &buffer) = 0;
    virtual void queryPerformanceCounter(CounterHalves &buffer) = 0;
};
