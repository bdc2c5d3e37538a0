#pragma once

#include <cstdint>
#include <thread>

// The timing baseline for the Test All walk: a thread woken by a periodic timerfd that
// writes one set-outputs frame per expiry, walking one output at a time over 24, through a
// plain socket. Its steps show what the machine's timers and loopback can do at that period.
class TimerfdWalker {
public:
    ~TimerfdWalker() { stop(); }

    // Connects and starts stepping every periodUs, `steps` times and then stops by itself.
    bool start(std::uint16_t port, std::int64_t periodUs, int steps);
    void stop();

private:
    void run(std::int64_t periodUs, int steps);

    int m_fd = -1;
    std::thread m_thread;
};
