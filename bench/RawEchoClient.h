#pragma once

#include "RawLoopback.h"

#include <cstdint>

// The echo baseline: a thread that sends every byte it receives straight back, with nothing
// in between. What it adds to a turnaround is the least any echoing program can add.
class RawEchoClient {
public:
    bool start(std::uint16_t port);
    void stop() { m_worker.stop(); }

private:
    LoopbackWorker m_worker;
};
