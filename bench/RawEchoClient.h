#pragma once

#include <cstdint>
#include <thread>

// The echo baseline: a thread that sends every byte it receives straight back, with nothing
// in between. What it adds to a turnaround is the least any echoing program can add.
class RawEchoClient {
public:
    ~RawEchoClient() { stop(); }

    bool start(std::uint16_t port);
    void stop();

private:
    void run();

    int m_fd = -1;
    std::thread m_thread;
};
