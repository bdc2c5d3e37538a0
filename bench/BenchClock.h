#pragma once

#include <cstdint>
#include <ctime>

// Monotonic nanoseconds, the one clock every figure of the benchmark is read from, in every
// thread and on both sides of the socket.
inline std::int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return std::int64_t(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
