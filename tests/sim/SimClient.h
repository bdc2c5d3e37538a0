#pragma once

#include <QByteArray>
#include <QList>
#include <QTcpSocket>

// A bare tester stand-in for the simulator's tests: connects over loopback, writes bytes,
// and keeps every read as it arrived. Can return every GPI input message it gets, as the
// tester's Echo does.
class SimClient : public QObject {
    Q_OBJECT

public:
    explicit SimClient(quint16 port) {
        connect(&socket, &QTcpSocket::readyRead, this, [this] {
            const QByteArray read = socket.readAll();
            reads << read;
            received += read;
            if (echo && read.startsWith(QByteArray::fromHex("ff000004")))
                write(read);
        });
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
    QList<QByteArray> reads;
    QByteArray received;
    int disconnects = 0;
    bool echo = false;
};
