#include "BoxLink.h"

#include "protocol/Frames.h"

BoxLink::BoxLink(QObject *parent) : QObject(parent) {
    // Each edge goes out as soon as it is read; no delay for small packets either way.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // A box that sends faster than the monitor prints is held back by TCP, not buffered here
    // without end.
    m_socket.setReadBufferSize(ReadBufferSize);
    connect(&m_socket, &QTcpSocket::connected, this, &BoxLink::opened);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { emit received(m_socket.readAll()); });
    connect(&m_socket, &QTcpSocket::disconnected, this,
            [this] { end(QStringLiteral("the box closed the connection")); });
    connect(&m_socket, &QTcpSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError) { end(m_socket.errorString()); });
}

BoxLink::~BoxLink() {
    m_socket.disconnect(this);
}

void BoxLink::open(const QHostAddress &address, quint16 port) {
    m_ending = false;
    m_socket.abort();
    m_socket.connectToHost(address, port);
}

void BoxLink::close() {
    m_ending = true;
    m_socket.abort();
}

bool BoxLink::isOpen() const {
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

void BoxLink::askInputs() {
    send(MakeGpiInputStatusRequest());
}

void BoxLink::askOutputs() {
    send(MakeGpiOutputStatusRequest());
}

void BoxLink::askFirmware() {
    send(MakeFirmwareVersionRequest());
}

void BoxLink::send(const QByteArray &frame) {
    if (isOpen())
        m_socket.write(frame);
}

void BoxLink::end(const QString &reason) {
    if (m_ending)
        return;
    m_ending = true;
    // What is still in the socket's buffer came before the end; it is read first.
    if (m_socket.bytesAvailable() > 0)
        emit received(m_socket.readAll());
    m_socket.abort();
    emit closed(reason);
}
