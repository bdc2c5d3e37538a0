#include "GpiOutputs.h"

#include "OutputState.h"

#include "platform/DeviceSocket.h"
#include "protocol/Frames.h"
#include "window/Form1.h"

GpiOutputs::GpiOutputs(Form1 &form) : m_form(form) {
    for (int i = 0; i < Form1::GpiArraySize; ++i) {
        connect(m_form.GPI_Out[i], &QAbstractButton::toggled, this,
                [this, i] { GPI_Out_Click(i); });
        connect(m_form.GPI_In[i], &CheckBox::mouseUp, this,
                [this, i](Qt::MouseButton button, bool toggled) {
                    GPI_In_MouseUp(i, button, toggled);
                });
    }
    connect(m_form.All_On, &QPushButton::clicked, this, &GpiOutputs::All_On_Click);
    connect(m_form.All_Off, &QPushButton::clicked, this, &GpiOutputs::All_Off_Click);
    connect(m_form.GPI_Query_Inputs, &QPushButton::clicked, this,
            &GpiOutputs::GPI_Query_Inputs_Click);
    connect(m_form.GPI_Query_Outputs, &QPushButton::clicked, this,
            &GpiOutputs::GPI_Query_Outputs_Click);
    connect(m_form.Query_Firmware, &QPushButton::clicked, this, &GpiOutputs::Query_Firmware_Click);
}

bool GpiOutputs::connected() const {
    return m_form.Vorn.state() == DeviceSocket::Connected;
}

void GpiOutputs::GPI_Out_Click(int index) {
    // Any output change ends echo mode; the Echo handler then unlocks the manual controls.
    m_form.Echo->setChecked(false);

    quint8 *byte = OutputState::byteOf(m_form.state, index);
    if (!byte) {
        // There is no button to read for such an index.
        m_form.appendLog(QStringLiteral("Unexpected GPI_Out_Click"));
        return;
    }

    const quint8 mask = OutputState::maskOf(index);
    if (m_form.GPI_Out[index]->isChecked())
        *byte &= quint8(~mask);
    else
        *byte |= mask;

    if (OutputState::sendsOnChange(m_form, index))
        SendGpiOutputs();
}

void GpiOutputs::setAllOutputs(quint8 value, bool checked) {
    OutputState::setAllBytes(m_form.state, value);
    // Each button only records its bit; the whole state goes out once below.
    for (int i = 0; i < m_form.state.GPICount; ++i)
        OutputState::showOutput(m_form, i, checked);
    SendGpiOutputs();
}

void GpiOutputs::All_On_Click() {
    setAllOutputs(0x00, true);
}

void GpiOutputs::All_Off_Click() {
    setAllOutputs(0xFF, false);
}

void GpiOutputs::SendGpiOutputs() {
    if (!connected())
        return;
    const TesterState &s = m_form.state;
    // A send the socket refuses is reported by its error event; nothing went out, so there
    // is no request to time a response from.
    if (m_form.Vorn.sendData(MakeSetGpiOutputsMessage(s.GPIOutByte0, s.GPIOutByte1, s.GPIOutByte2)))
        m_form.state.RequestSentCount = m_form.readCounter();
}

void GpiOutputs::GPI_In_MouseUp(int index, Qt::MouseButton, bool toggled) {
    // The indicators show what the device reported, not what the mouse did: undo the
    // click's own toggle. A release that did not toggle (another mouse button, or a press
    // dragged off the box) leaves nothing to undo.
    if (toggled && index >= 0 && index < Form1::GpiArraySize) {
        CheckBox *indicator = m_form.GPI_In[index];
        indicator->setChecked(!indicator->isChecked());
    }
    GPI_Query_Inputs_Click();
}

void GpiOutputs::sendQuery(const QString &logLine, const QByteArray &frame) {
    if (!connected())
        return;
    m_form.appendLog(logLine);
    m_form.Vorn.sendData(frame);
    m_form.TrimTerminal();
}

void GpiOutputs::GPI_Query_Inputs_Click() {
    sendQuery(QStringLiteral("GPI Input Status Request"), MakeGpiInputStatusRequest());
}

void GpiOutputs::GPI_Query_Outputs_Click() {
    sendQuery(QStringLiteral("GPI Output Status Request"), MakeGpiOutputStatusRequest());
}

void GpiOutputs::Query_Firmware_Click() {
    SendFirmwareRequest();
}

void GpiOutputs::SendFirmwareRequest() {
    if (!connected())
        return;
    m_form.appendLog(QStringLiteral("Firmware Version Request"));
    m_form.TrimTerminal();
    if (m_form.Vorn.sendData(MakeFirmwareVersionRequest()))
        m_form.state.RequestSentCount = m_form.readCounter();
}
