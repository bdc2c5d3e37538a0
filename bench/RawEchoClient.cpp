#include "RawEchoClient.h"

#include "RawLoopback.h"

#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

bool RawEchoClient::start(std::uint16_t port) {
    m_fd = connectLoopback(port);
    if (m_fd < 0)
        return false;
    m_thread = std::thread([this] { run(); });
    return true;
}

void RawEchoClient::stop() {
    if (m_fd < 0)
        return;
    ::shutdown(m_fd, SHUT_RDWR);
    m_thread.join();
    ::close(m_fd);
    m_fd = -1;
}

void RawEchoClient::run() {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(m_fd, buffer, sizeof(buffer), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !writeAll(m_fd, buffer, std::size_t(got)))
            return;
    }
}
