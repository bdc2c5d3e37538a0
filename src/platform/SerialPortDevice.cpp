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

SerialPortDevice::SerialPortDevice(QString portName) : m_portName(std::move(portName)) {
    // A port that goes away (an adapter unplugged, a hang-up) keeps reporting read errors
    // and would keep the event loop busy; it is closed instead, and the next open() tries
    // again. Closing is queued so the port is not torn down inside its own notification.
    QObject::connect(
        &m_port, &QSerialPort::errorOccurred, &m_port,
        [this](QSerialPort::SerialPortError error) {
            if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
                m_port.close();
        },
        Qt::QueuedConnection);
}

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
    if (m_port.isOpen())
        return true;
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
