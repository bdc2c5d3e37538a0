#include "SerialMessages.h"

#include "platform/DeviceSocket.h"
#include "protocol/Frames.h"
#include "window/Form1.h"

SerialMessages::SerialMessages(Form1 &form) : m_form(form) {
    connect(m_form.cmdSendSerial, &CommandButton::mouseDown, this,
            &SerialMessages::cmdSendSerial_MouseDown);
    connect(m_form.cmdSendBreak, &CommandButton::mouseDown, this,
            &SerialMessages::cmdSendBreak_MouseDown);
    connect(m_form.cmdBreakSerial, &QPushButton::clicked, this,
            &SerialMessages::cmdBreakSerial_Click);
}

QByteArray SerialMessages::Greeting(int portIndex) {
    return QByteArrayLiteral("Hello port ") + QByteArray::number(portIndex + 1) +
           QByteArrayLiteral(".\r\n");
}

bool SerialMessages::connected() const {
    return m_form.Vorn.state() == DeviceSocket::Connected;
}

void SerialMessages::cmdSendSerial_MouseDown() {
    // The link is looked at again before every port: a send may find it gone.
    for (int i = 0; i < Form1::SerialPortCount; ++i) {
        if (!connected())
            continue;
        if (m_form.chkBreakSerial[i]->isChecked())
            m_form.Vorn.sendData(MakeSerialOutputMessage(quint8(i), Greeting(i)));
    }
}

void SerialMessages::cmdSendBreak_MouseDown() {
    quint8 mask = 0;
    for (int i = 0; i < Form1::SerialPortCount; ++i)
        if (m_form.chkBreakSerial[i]->isChecked())
            mask |= quint8(1u << i);
    // An empty mask still goes out: the device sees the request for no port.
    if (connected())
        m_form.Vorn.sendData(MakeSerialBreakRequest(mask));
}

void SerialMessages::cmdBreakSerial_Click() {
    if (connected())
        m_form.Vorn.sendData(MakeSerialBreakRequest(0x01));
    if (connected())
        m_form.Vorn.sendData(MakeSerialOutputMessage(0, QByteArray(8, 'U')));
}
