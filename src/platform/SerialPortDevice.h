#pragma once

#include "LocalSerialPort.h"

#include <QSerialPort>

// The PC's first serial port with the tester's fixed settings (9600 baud, 8 data bits, no
// parity, one stop bit, 1024-byte input buffer). Nothing opens it until open() is called, so
// no port is held by a tester that never needs one. While open, Qt collects what the driver
// receives into the input buffer from the event loop; reading never waits.
class SerialPortDevice : public LocalSerialPort {
public:
    // An empty name means the first serial port of the system, looked up at each open.
    explicit SerialPortDevice(QString portName = QString());

    bool open() override;
    int inBufferCount() override;
    QByteArray input() override;

    // The lowest-numbered serial device the system reports ("ttyS0" when it reports none).
    static QString firstPortName();

private:
    QString m_portName;
    QSerialPort m_port;
};
