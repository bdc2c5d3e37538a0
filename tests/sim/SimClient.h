#pragma once

#include <QByteArray>
#include <QTcpSocket>

// A bare tester stand-in for the simulator's tests: connects over loopback, writes bytes,
// and keeps everything it receives.
class SimClient : public QObject {
    Q_OBJECT

public:
    explicit SimClient(quint16 port) {
        connect(&socket, &QTcpSocket::readyRead, this, [this] { received += socket.readAll(); });
        connect(&socket, &QTcpSocket::disconnected, this, [this] { ++disconnects; });
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    }

    bool connected() const { return socket.state() == QAbstractSocket::ConnectedState; }
    void write(const QByteArray &bytes) {
        socket.write(bytes);
        socket.flush();
    }
    void writeHex(const char *hex) { write(QByteArray::fromHex(hex)); }

    QTcpSocket socket;
    QByteArray received;
    int disconnects = 0;
};
