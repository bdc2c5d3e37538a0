#include "TimerfdWalker.h"

#include "RawLoopback.h"

#include <cerrno>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/timerfd.h>
#include <unistd.h>

bool TimerfdWalker::start(std::uint16_t port, std::int64_t periodUs, int steps) {
    m_fd = connectLoopback(port);
    if (m_fd < 0)
        return false;
    m_thread = std::thread([this, periodUs, steps] { run(periodUs, steps); });
    return true;
}

void TimerfdWalker::stop() {
    if (m_fd < 0)
        return;
    if (m_thread.joinable())
        m_thread.join();
    ::close(m_fd);
    m_fd = -1;
}

void TimerfdWalker::run(std::int64_t periodUs, int steps) {
    // The same timer slack as the tester asks for on its own thread.
    prctl(PR_SET_TIMERSLACK, 1000ul, 0, 0, 0);
    const int timer = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC);
    if (timer < 0)
        return;
    itimerspec expiry{};
    expiry.it_interval.tv_sec = time_t(periodUs / 1000000);
    expiry.it_interval.tv_nsec = long(periodUs % 1000000) * 1000;
    expiry.it_value = expiry.it_interval;
    ::timerfd_settime(timer, 0, &expiry, nullptr);
    int index = 23;
    for (int step = 0; step < steps; ++step) {
        std::uint64_t expiries = 0;
        if (::read(timer, &expiries, sizeof(expiries)) != sizeof(expiries)) {
            if (errno == EINTR) {
                --step;
                continue;
            }
            break;
        }
        index = (index + 1) % 24;
        const std::uint32_t bits = 0xFFFFFFu & ~(1u << index);
        const unsigned char frame[7] = {0xFF,
                                        0x00,
                                        0x00,
                                        0x04,
                                        std::uint8_t(bits),
                                        std::uint8_t(bits >> 8),
                                        std::uint8_t(bits >> 16)};
        if (!writeAll(m_fd, frame, sizeof(frame)))
            break;
    }
    ::close(timer);
}
