#include "RawFloodReader.h"

#include "BenchClock.h"
#include "RawLoopback.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

bool RawFloodReader::start(std::uint16_t port) {
    m_fd = connectLoopback(port);
    if (m_fd < 0)
        return false;
    m_arrivals.clear();
    m_arrivals.reserve(1 << 20);
    m_thread = std::thread([this] { run(); });
    return true;
}

void RawFloodReader::stop() {
    if (m_fd < 0)
        return;
    ::shutdown(m_fd, SHUT_RDWR);
    m_thread.join();
    ::close(m_fd);
    m_fd = -1;
}

void RawFloodReader::run() {
    // As large a read as the tester's socket makes: it takes everything the kernel holds.
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::recv(m_fd, buffer.data(), buffer.size(), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        m_arrivals.push_back({nowNs(), got});
    }
}
