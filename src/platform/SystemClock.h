#pragma once

#include "Clock.h"

#include <QElapsedTimer>

// The monotonic clock in nanoseconds since this object was made (so readings stay exact
// in a double for over a hundred days), and the local time of day.
class SystemClock : public Clock {
public:
    SystemClock();

    void queryPerformanceFrequency(CounterHalves &buffer) override;
    void queryPerformanceCounter(CounterHalves &buffer) override;
    float timeOfDay() override;

private:
    QElapsedTimer m_elapsed;
};
