#pragma once

#include "RawLoopback.h"

#include <cstdint>
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
    bool start(std::uint16_t port);
    void stop() { m_worker.stop(); }
    // Every read since start(); valid after stop().
    const std::vector<Arrival> &arrivals() const { return m_arrivals; }

private:
    void run(int fd);

    std::vector<Arrival> m_arrivals;
    // Last, so that it is gone first: its thread writes m_arrivals until it stops.
    LoopbackWorker m_worker;
};
