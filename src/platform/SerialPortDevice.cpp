#include "SerialPortDevice.h"

#include <QCollator>
#include <QSerialPortInfo>
#include <QStringList>

#include <algorithm>

namespace {
// Beyond this Qt stops reading and leaves the rest to the driver, so a device that keeps
// sending cannot grow the tester's memory.
constexpr qint64 InputBufferSize = 1024;
} // namespace

SerialPortDevice::SerialPortDevice(QString portName) : m_portName(std::move(portName)) {}

QString SerialPortDevice::firstPortName() {
    QStringList names;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
        names.append(info.portName());
    if (names.isEmpty())
        return QStringLiteral("ttyS0");
    // Numeric order, so that ttyS2 comes before ttyS10.
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
    return names.first();
}

bool SerialPortDevice::open() {
    if (m_port.isOpen()) {
        // A port that vanished (an unplugged adapter) is closed and tried afresh.
        if (m_port.error() != QSerialPort::ResourceError)
            return true;
        m_port.close();
    }
    m_port.clearError();
    m_port.setPortName(m_portName.isEmpty() ? firstPortName() : m_portName);
    m_port.setReadBufferSize(InputBufferSize);
    // Settings given before open() are applied by it; open() fails when the driver refuses.
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    return m_port.open(QIODevice::ReadOnly);
}

int SerialPortDevice::inBufferCount() {
    return m_port.isOpen() ? int(m_port.bytesAvailable()) : 0;
}

QByteArray SerialPortDevice::input() {
    return m_port.isOpen() ? m_port.readAll() : QByteArray();
}
