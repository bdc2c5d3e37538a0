#include "SocketErrors.h"

#include <winsock2.h>

namespace wsa {
const qint16 Access = WSAEACCES;
const qint16 Already = WSAEALREADY;
const qint16 AddressInUse = WSAEADDRINUSE;
const qint16 AddressNotAvailable = WSAEADDRNOTAVAIL;
const qint16 NetworkUnreachable = WSAENETUNREACH;
const qint16 ConnectionAborted = WSAECONNABORTED;
const qint16 ConnectionReset = WSAECONNRESET;
const qint16 NoBuffers = WSAENOBUFS;
const qint16 IsConnected = WSAEISCONN;
const qint16 TimedOut = WSAETIMEDOUT;
const qint16 ConnectionRefused = WSAECONNREFUSED;
const qint16 HostUnreachable = WSAEHOSTUNREACH;
const qint16 HostNotFound = WSAHOST_NOT_FOUND;
} // namespace wsa

void KeptConnection::keep(qintptr descriptor) {
    if (m_handle != -1 || descriptor == -1)
        return;
    WSAPROTOCOL_INFOW info{};
    if (WSADuplicateSocketW(SOCKET(descriptor), GetCurrentProcessId(), &info) != 0)
        return;
    const SOCKET copy = WSASocketW(FROM_PROTOCOL_INFO, FROM_PROTOCOL_INFO, FROM_PROTOCOL_INFO,
                                   &info, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
    if (copy == INVALID_SOCKET)
        return;
    // Never waits, whatever mode Qt leaves the socket in.
    u_long nonBlocking = 1;
    ioctlsocket(copy, FIONBIO, &nonBlocking);
    m_handle = qintptr(copy);
}

bool KeptConnection::wasReset() const {
    if (m_handle == -1)
        return false;
    // After an orderly close from the other side this end may still send; after a reset
    // even an empty send fails.
    const char nothing = 0;
    if (send(SOCKET(m_handle), &nothing, 0, 0) != SOCKET_ERROR)
        return false;
    const int error = WSAGetLastError();
    return error == WSAECONNRESET || error == WSAECONNABORTED || error == WSAESHUTDOWN;
}

void KeptConnection::release() {
    if (m_handle != -1)
        closesocket(SOCKET(m_handle));
    m_handle = -1;
}
