#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <thread>

// Plain POSIX sockets, no Qt: the baselines' side of the loopback.

// A blocking TCP connection to 127.0.0.1:port with Nagle's delay off, or -1.
int connectLoopback(std::uint16_t port);

// Writes all of it, retrying short writes; false when the connection is gone.
bool writeAll(int fd, const void *data, std::size_t size);

// A loopback connection served by a thread of its own, the shape of every baseline.
class LoopbackWorker {
public:
    ~LoopbackWorker() { stop(); }

    // Connects and runs work(fd) on a new thread; false when the connection fails.
    bool start(std::uint16_t port, std::function<void(int fd)> work);
    // Shuts the connection down, which ends a blocked recv() or send(), and waits for the
    // thread.
    void stop();

private:
    int m_fd = -1;
    std::thread m_thread;
};
