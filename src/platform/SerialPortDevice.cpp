#include "SerialPortDevice.h"

#include <QSerialPortInfo>

namespace {
constexpr qint64 InputBufferSize = 1024;
}

SerialPortDevice::SerialPortDevice(QString portName) : m_portName(std::move(portName)) {}

QString SerialPortDevice::firstPortName() {
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    return ports.isEmpty() ? QStringLiteral("ttyS0") : ports.first().portName();
}

bool SerialPortDevice::ensureOpen() {
    if (m_port.isOpen())
        return true;
    m_port.setPortName(m_portName.isEmpty() ? firstPortName() : m_portName);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    m_port.setReadBufferSize(InputBufferSize);
    return m_port.open(QIODevice::ReadWrite);
}

int SerialPortDevice::inBufferCount() {
    if (!ensureOpen())
        return 0;
    // Collect what the driver holds without waiting for the event loop.
    m_port.waitForReadyRead(0);
    return int(m_port.bytesAvailable());
}

QByteArray SerialPortDevice::input() {
    if (!ensureOpen())
        return QByteArray();
    m_port.waitForReadyRead(0);
    return m_port.readAll();
}
