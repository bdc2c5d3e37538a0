#pragma once

#include "LocalSerialPort.h"

#include <QSerialPort>

// The PC's first serial port with the tester's fixed settings (9600 baud, 8 data bits,
// 1024-byte input buffer). It is opened on first use and again after a failure, so a port
// plugged in later is found; while it cannot be opened it reports nothing waiting.
class SerialPortDevice : public LocalSerialPort {
public:
    explicit SerialPortDevice(QString portName = QString());

    int inBufferCount() override;
    QByteArray input() override;

    static QString firstPortName();

private:
    bool ensureOpen();

    QString m_portName;
    QSerialPort m_port;
};
