#include "RawFloodReader.h"

#include "BenchClock.h"

#include <cerrno>
#include <sys/socket.h>

bool RawFloodReader::start(std::uint16_t port) {
    m_arrivals.clear();
    m_arrivals.reserve(1 << 20);
    return m_worker.start(port, [this](int fd) { run(fd); });
}

void RawFloodReader::run(int fd) {
    // As large a read as the tester's socket makes: it takes everything the kernel holds.
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return;
        m_arrivals.push_back({nowNs(), got});
    }
}
