#pragma once

#include <QString>
#include <QtGlobal>

// Windows Sockets error numbers and their descriptions, as operators of such devices know
// them: Winsock's own on Windows, the same numbers elsewhere.
namespace wsa {
extern const qint16 Access;
extern const qint16 Already;
extern const qint16 AddressInUse;
extern const qint16 AddressNotAvailable;
extern const qint16 NetworkUnreachable;
extern const qint16 ConnectionAborted;
extern const qint16 ConnectionReset;
extern const qint16 NoBuffers;
extern const qint16 IsConnected;
extern const qint16 TimedOut;
extern const qint16 ConnectionRefused;
extern const qint16 HostUnreachable;
extern const qint16 HostNotFound;
} // namespace wsa

// Why a connection failed with Qt's catch-all network error. Qt tries the connect again
// once the attempt is over and that call takes the system's pending error, so by the time
// the failure is reported only Qt's description of it is left.
enum class NetworkFailure { TimedOut, NetworkUnreachable, HostUnreachable, Other };
NetworkFailure networkFailureOf(const QString &description);

// A second handle on a connected socket, kept after Qt has closed its own so that the
// system can still tell whether the connection ended in a reset or an orderly close.
class KeptConnection {
public:
    KeptConnection() = default;
    ~KeptConnection() { release(); }
    KeptConnection(const KeptConnection &) = delete;
    KeptConnection &operator=(const KeptConnection &) = delete;

    // Keeps the connection on this descriptor, unless one is kept already.
    void keep(qintptr descriptor);
    bool wasReset() const;
    void release();

private:
    qintptr m_handle = -1;
};
