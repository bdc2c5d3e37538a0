#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The TCP link to the device as the window sees it: ten numbered states, errors with
// Windows Sockets numbers, and one data-arrival event per delivery of bytes.
class DeviceSocket : public QObject {
    Q_OBJECT

public:
    enum State : qint16 {
        Closed = 0,
        Open = 1,
        Listening = 2,
        ConnectionPending = 3,
        ResolvingHost = 4,
        HostResolved = 5,
        Connecting = 6,
        Connected = 7,
        Closing = 8, // the peer closed its side; latched until close()
        Error = 9,   // latched until close()
    };

    using QObject::QObject;

    virtual qint16 state() const = 0;
    virtual quint16 localPort() const = 0;

    // Defaults that a later connect may override.
    virtual void setRemoteHost(const QString &host) = 0;
    virtual void setRemotePort(int port) = 0;

    // Starts an asynchronous connect. The port arrives as the operator typed it; a text that
    // is not a port number, or a socket that is busy, ends in the error event.
    virtual void connectToDevice(const QString &host, const QString &port) = 0;
    virtual void close() = 0;

    // One frame, handed over in one piece. Returns false when it could not be queued.
    virtual bool sendData(const QByteArray &bytes) = 0;

    // Everything received and not yet fetched.
    virtual QByteArray getData() = 0;

signals:
    void dataArrival(qint64 bytesTotal);
    void error(qint16 number, const QString &description);
};
