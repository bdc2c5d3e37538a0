#include "RawEchoClient.h"

#include <cerrno>
#include <sys/socket.h>

namespace {

void echo(int fd) {
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof(buffer), 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || !writeAll(fd, buffer, std::size_t(got)))
            return;
    }
}

} // namespace

bool RawEchoClient::start(std::uint16_t port) {
    return m_worker.start(port, echo);
}
