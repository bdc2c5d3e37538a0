#include "SocketErrors.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace wsa {
const qint16 Access = 10013;
const qint16 Already = 10037;
const qint16 AddressInUse = 10048;
const qint16 AddressNotAvailable = 10049;
const qint16 NetworkUnreachable = 10051;
const qint16 ConnectionAborted = 10053;
const qint16 ConnectionReset = 10054;
const qint16 NoBuffers = 10055;
const qint16 IsConnected = 10056;
const qint16 TimedOut = 10060;
const qint16 ConnectionRefused = 10061;
const qint16 HostUnreachable = 10065;
const qint16 HostNotFound = 11001;
} // namespace wsa

void KeptConnection::keep(qintptr descriptor) {
    if (m_handle < 0 && descriptor >= 0)
        m_handle = ::fcntl(int(descriptor), F_DUPFD_CLOEXEC, 0);
}

bool KeptConnection::wasReset() const {
    if (m_handle < 0)
        return false;
    tcp_info info{};
    socklen_t length = sizeof(info);
    if (::getsockopt(int(m_handle), IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return false;
    // An orderly close leaves the connection waiting for our own close; a reset ends it.
    return info.tcpi_state == TCP_CLOSE;
}

void KeptConnection::release() {
    if (m_handle >= 0)
        ::close(int(m_handle));
    m_handle = -1;
}
