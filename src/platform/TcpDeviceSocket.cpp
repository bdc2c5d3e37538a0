#include "TcpDeviceSocket.h"
#include "SocketErrors.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QUrl>

namespace {

// A name that cannot be looked up: empty, too long, with blanks or control characters, an
// over-long label, or dotted digits that are no address. Refusing these here saves a
// name-server query that could only fail.
bool isHopelessHostName(const QString &host) {
    const QString name = host.trimmed();
    if (name.isEmpty() || name.size() > 253)
        return true;
    for (QChar c : name)
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return true;
    if (QHostAddress(name).protocol() != QAbstractSocket::UnknownNetworkLayerProtocol)
        return false;
    static const QRegularExpression dottedDigits(QStringLiteral("^[0-9.]+$"));
    if (dottedDigits.match(name).hasMatch())
        return true;
    const QByteArray ace = QUrl::toAce(name);
    if (ace.isEmpty())
        return true;
    const QList<QByteArray> labels = ace.split('.');
    for (qsizetype i = 0; i < labels.size(); ++i) {
        const bool last = i == labels.size() - 1;
        if (labels[i].size() > 63 || (labels[i].isEmpty() && !last))
            return true;
    }
    return false;
}

// The operator's text as it may stand in a log line: short and on one line.
QString quoted(const QString &text) {
    constexpr int Shown = 40;
    QString shown = text.left(Shown);
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    return QLatin1Char('"') + shown + QLatin1String(text.size() > Shown ? "...\"" : "\"");
}

} // namespace

TcpDeviceSocket::TcpDeviceSocket(QObject *parent) : DeviceSocket(parent) {
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(DefaultConnectTimeoutMs);
    connect(&m_connectTimer, &QTimer::timeout, this, &TcpDeviceSocket::onConnectTimeout);
}

TcpDeviceSocket::~TcpDeviceSocket() {
    if (m_socket)
        m_socket->abort();
    retire();
}

qint16 TcpDeviceSocket::state() const {
    if (m_latched != Closed)
        return m_latched;
    if (!m_socket)
        return Closed;
    switch (m_socket->state()) {
    case QAbstractSocket::UnconnectedState:
        return Closed;
    case QAbstractSocket::HostLookupState:
        return ResolvingHost;
    case QAbstractSocket::ConnectingState:
        return Connecting;
    case QAbstractSocket::ConnectedState:
        return Connected;
    case QAbstractSocket::BoundState:
        return Open;
    case QAbstractSocket::ListeningState:
        return Listening;
    case QAbstractSocket::ClosingState:
        return Closing;
    }
    return Closed;
}

quint16 TcpDeviceSocket::localPort() const {
    return m_socket ? m_socket->localPort() : 0;
}

void TcpDeviceSocket::setRemoteHost(const QString &host) {
    m_remoteHost = host;
}

void TcpDeviceSocket::setRemotePort(int port) {
    m_remotePort = port;
}

int TcpDeviceSocket::parsePort(const QString &text) {
    const QString t = text.trimmed();
    bool ok = false;
    int value = -1;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        value = t.mid(2).toInt(&ok, 16);
    else if (t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive))
        value = t.mid(2).toInt(&ok, 8);
    else if (!t.isEmpty() && t.front().isDigit())
        value = t.toInt(&ok, 10);
    return ok && value >= 1 && value <= 65535 ? value : -1;
}

void TcpDeviceSocket::connectToDevice(const QString &host, const QString &port) {
    switch (state()) {
    case Closed:
    case Error:
        break;
    case Connected:
        reportErrorLater(wsa::IsConnected,
                         QStringLiteral("Already connected: press Disconnect before "
                                        "connecting again"));
        return;
    case Closing:
        reportErrorLater(wsa::IsConnected,
                         QStringLiteral("The device has closed the connection: press "
                                        "Disconnect before connecting again"));
        return;
    default:
        reportErrorLater(wsa::Already, QStringLiteral("A connection attempt is already in "
                                                      "progress: press Disconnect to stop it"));
        return;
    }
    // A failed attempt is over; a new one replaces it.
    close();
    m_remoteHost = host;
    const int portNumber = parsePort(port);
    if (portNumber < 0) {
        m_latched = Error;
        reportErrorLater(wsa::AddressNotAvailable,
                         QStringLiteral("Invalid port %1: enter a port number from 1 to 65535")
                             .arg(quoted(port)));
        return;
    }
    m_remotePort = portNumber;
    if (isHopelessHostName(host)) {
        m_latched = Error;
        reportErrorLater(wsa::HostNotFound, QStringLiteral("Host not found: %1").arg(quoted(host)));
        return;
    }

    auto *socket = new QTcpSocket(this);
    m_socket = socket;
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket == m_socket)
            emit dataArrival(socket->bytesAvailable());
    });
    connect(socket, &QTcpSocket::errorOccurred, this, [this, socket](auto error) {
        if (socket == m_socket)
            onErrorOccurred(error);
    });
    connect(socket, &QTcpSocket::connected, this, [this, socket] {
        if (socket != m_socket)
            return;
        m_connectTimer.stop();
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        m_kept.keep(socket->socketDescriptor());
    });
    m_connectTimer.start();
    socket->connectToHost(host.trimmed(), quint16(portNumber));
}

void TcpDeviceSocket::close() {
    m_connectTimer.stop();
    m_latched = Closed;
    retire();
}

// Lets the old connection finish sending what it was given, then frees it.
void TcpDeviceSocket::retire() {
    if (QTcpSocket *socket = m_socket) {
        m_socket = nullptr;
        socket->disconnect(this);
        if (socket->state() == QAbstractSocket::ConnectedState) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            // A peer that never takes the rest must not keep the socket forever; one that is
            // merely slow gets ample time.
            constexpr int DrainLimitMs = 30000;
            QTimer::singleShot(DrainLimitMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            socket->disconnectFromHost();
        } else {
            socket->abort();
            socket->deleteLater();
        }
    }
    m_kept.release();
}

bool TcpDeviceSocket::sendData(const QByteArray &bytes) {
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    if (m_socket->write(bytes) != bytes.size())
        return false;
    // Hand it to the kernel now rather than on the next turn of the event loop.
    m_socket->flush();
    return true;
}

// What the socket holds, in one read of its known size: readAll() would allocate a block of the
// socket's chunk size for a seven-byte message and ask the socket once more for bytes it has not.
QByteArray TcpDeviceSocket::getData() {
    return m_socket ? m_socket->read(m_socket->bytesAvailable()) : QByteArray();
}

void TcpDeviceSocket::onErrorOccurred(QAbstractSocket::SocketError socketError) {
    m_connectTimer.stop();
    const QString text = m_socket ? m_socket->errorString() : QString();
    switch (socketError) {
    case QAbstractSocket::RemoteHostClosedError:
        if (m_kept.wasReset()) {
            m_latched = Error;
            reportError(wsa::ConnectionReset, QStringLiteral("Connection is reset by remote side"));
        } else {
            m_latched = Closing;
        }
        return;
    case QAbstractSocket::ConnectionRefusedError:
        m_latched = Error;
        reportError(wsa::ConnectionRefused, QStringLiteral("Connection is forcefully rejected"));
        return;
    case QAbstractSocket::HostNotFoundError:
        m_latched = Error;
        reportError(wsa::HostNotFound,
                    QStringLiteral("Host not found: %1").arg(quoted(m_remoteHost)));
        return;
    case QAbstractSocket::SocketTimeoutError:
        m_latched = Error;
        reportError(wsa::TimedOut, QStringLiteral("Connection timed out"));
        return;
    case QAbstractSocket::NetworkError:
        m_latched = Error;
        switch (networkFailureOf(text)) {
        case NetworkFailure::TimedOut:
            reportError(wsa::TimedOut, QStringLiteral("Connection timed out"));
            return;
        case NetworkFailure::NetworkUnreachable:
            reportError(wsa::NetworkUnreachable, QStringLiteral("Network is unreachable"));
            return;
        case NetworkFailure::HostUnreachable:
            reportError(wsa::HostUnreachable, QStringLiteral("No route to host"));
            return;
        case NetworkFailure::Other:
            break;
        }
        reportError(wsa::ConnectionAborted, QStringLiteral("Connection is aborted: %1").arg(text));
        return;
    case QAbstractSocket::SocketAccessError:
        m_latched = Error;
        reportError(wsa::Access, QStringLiteral("Permission denied"));
        return;
    case QAbstractSocket::SocketResourceError:
        m_latched = Error;
        reportError(wsa::NoBuffers, QStringLiteral("No buffer space available"));
        return;
    case QAbstractSocket::AddressInUseError:
        m_latched = Error;
        reportError(wsa::AddressInUse, QStringLiteral("Address already in use"));
        return;
    default:
        m_latched = Error;
        reportError(wsa::ConnectionAborted, QStringLiteral("Connection is aborted: %1").arg(text));
        return;
    }
}

void TcpDeviceSocket::onConnectTimeout() {
    if (!m_socket || m_socket->state() == QAbstractSocket::ConnectedState)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    m_latched = Error;
    reportError(wsa::TimedOut, QStringLiteral("Connection timed out"));
}

void TcpDeviceSocket::reportError(qint16 number, const QString &description) {
    emit error(number, description);
}

void TcpDeviceSocket::reportErrorLater(qint16 number, const QString &description) {
    QMetaObject::invokeMethod(
        this, [this, number, description] { emit error(number, description); },
        Qt::QueuedConnection);
}
