#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <QTcpSocket>

// The monitor's connection to the box, and the only way it has to send anything: the socket
// is private here, and the three status requests are the only frames this class can write.
// So the monitor can ask what the box's lines are, and can never change them.
class BoxLink : public QObject {
    Q_OBJECT

public:
    static constexpr qint64 ReadBufferSize = 64 * 1024;

    explicit BoxLink(QObject *parent = nullptr);
    // Going away is no loss of the link: no closed() then.
    ~BoxLink() override;

    void open(const QHostAddress &address, quint16 port);
    // Ends the connection without a word; no closed() follows.
    void close();
    bool isOpen() const;

    // FF 00 01, answered with the inputs.
    void askInputs();
    // FF 00 05, answered with the outputs.
    void askOutputs();
    // FF 00 02, answered with the firmware version.
    void askFirmware();

signals:
    void opened();
    void received(const QByteArray &bytes);
    // The connection could not be made or is gone; once per open().
    void closed(const QString &reason);

private:
    void send(const QByteArray &frame);
    void end(const QString &reason);

    QTcpSocket m_socket;
    bool m_ending = false;
};
