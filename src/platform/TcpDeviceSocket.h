#pragma once

#include "DeviceSocket.h"
#include "SocketErrors.h"

#include <QAbstractSocket>
#include <QPointer>
#include <QTimer>

class QTcpSocket;

// DeviceSocket over QTcpSocket. A fresh QTcpSocket serves each connection, so a close
// reports Closed at once while the old one still delivers what was sent before it.
class TcpDeviceSocket : public DeviceSocket {
    Q_OBJECT

public:
    // How long a connect may go unanswered before it fails as timed out.
    static constexpr int DefaultConnectTimeoutMs = 21000;

    explicit TcpDeviceSocket(QObject *parent = nullptr);
    ~TcpDeviceSocket() override;

    qint16 state() const override;
    quint16 localPort() const override;
    void setRemoteHost(const QString &host) override;
    void setRemotePort(int port) override;
    void connectToDevice(const QString &host, const QString &port) override;
    void close() override;
    bool sendData(const QByteArray &bytes) override;
    QByteArray getData() override;

    void setConnectTimeout(int milliseconds) { m_connectTimer.setInterval(milliseconds); }

    // The port number a text stands for, or -1: blanks around it are allowed, and "&H"
    // and "&O" prefixes as well as plain decimal.
    static int parsePort(const QString &text);

private:
    void onErrorOccurred(QAbstractSocket::SocketError socketError);
    void onConnectTimeout();
    void reportError(qint16 number, const QString &description);
    void reportErrorLater(qint16 number, const QString &description);
    void retire();

    QPointer<QTcpSocket> m_socket;
    QTimer m_connectTimer;
    QString m_remoteHost;
    int m_remotePort = 0;
    // The states the window must keep seeing until close().
    qint16 m_latched = Closed;
    KeptConnection m_kept;
};
