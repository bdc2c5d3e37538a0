#pragma once

#include "platform/DeviceSocket.h"

#include <QList>

// A socket whose state the test sets, which records every frame sent and every connect and
// close, and which delivers arrivals and errors when the test says so.
class FakeDeviceSocket : public DeviceSocket {
    Q_OBJECT

public:
    using DeviceSocket::DeviceSocket;

    qint16 state() const override { return m_state; }
    quint16 localPort() const override { return m_localPort; }
    void setRemoteHost(const QString &host) override { remoteHost = host; }
    void setRemotePort(int port) override { remotePort = port; }
    void connectToDevice(const QString &host, const QString &port) override {
        connects.append({host, port});
    }
    void close() override {
        ++closes;
        m_state = Closed;
    }
    bool sendData(const QByteArray &bytes) override {
        sent.append(bytes);
        // A send that finds the socket gone fails without touching anything else.
        return m_state == Connected && !failSends;
    }
    QByteArray getData() override {
        QByteArray data;
        data.swap(m_pending);
        return data;
    }

    void setState(qint16 state) { m_state = state; }
    void setLocalPort(quint16 port) { m_localPort = port; }

    // One data-arrival notification carrying these bytes.
    void arrive(const QByteArray &bytes) {
        m_pending += bytes;
        emit dataArrival(m_pending.size());
    }
    void raiseError(qint16 number, const QString &description) { emit error(number, description); }

    struct ConnectRequest {
        QString host;
        QString port;
    };
    QList<ConnectRequest> connects;
    QList<QByteArray> sent;
    int closes = 0;
    bool failSends = false;
    QString remoteHost;
    int remotePort = 0;

private:
    qint16 m_state = Closed;
    quint16 m_localPort = 1042;
    QByteArray m_pending;
};
