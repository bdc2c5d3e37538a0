#pragma once

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

// One delivery of bytes to a reader: when, and how many.
struct Arrival {
    std::int64_t ns = 0;
    std::int64_t bytes = 0;
};

// The receive baseline: a thread that reads whatever the socket holds, as fast as it comes,
// and notes each read. Nothing is done with the bytes.
class RawFloodReader {
public:
    ~RawFloodReader() { stop(); }

    bool start(std::uint16_t port);
    void stop();
    // Every read since start(); valid after stop().
    const std::vector<Arrival> &arrivals() const { return m_arrivals; }

private:
    void run();

    int m_fd = -1;
    std::thread m_thread;
    std::vector<Arrival> m_arrivals;
};
