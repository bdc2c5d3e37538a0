#pragma once

#include "RawLoopback.h"

#include <cstdint>

// The timing baseline for the Test All walk: a thread woken by a periodic timerfd that
// writes one set-outputs frame per expiry, walking one output at a time over 24, through a
// plain socket. Its steps show what the machine's timers and loopback can do at that period.
class TimerfdWalker {
public:
    // Connects and starts stepping every periodUs, `steps` times and then stops by itself.
    bool start(std::uint16_t port, std::int64_t periodUs, int steps);
    // Ends a walk that has not finished, and waits for it.
    void stop() { m_worker.stop(); }

private:
    LoopbackWorker m_worker;
};
