#include "TimerfdWalker.h"

#include <cerrno>
#include <sys/prctl.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

void walk(int fd, std::int64_t periodUs, int steps) {
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
        if (!writeAll(fd, frame, sizeof(frame)))
            break;
    }
    ::close(timer);
}

} // namespace

bool TimerfdWalker::start(std::uint16_t port, std::int64_t periodUs, int steps) {
    return m_worker.start(port, [periodUs, steps](int fd) { walk(fd, periodUs, steps); });
}
