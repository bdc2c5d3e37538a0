#include "TestAllSequencer.h"

#include "GpiOutputs.h"
#include "OutputState.h"
#include "platform/DeviceSocket.h"
#include "window/Form1.h"

TestAllSequencer::TestAllSequencer(Form1 &form, GpiOutputs &outputs)
    : m_form(form), m_outputs(outputs) {
    connect(m_form.Test_All, &QPushButton::clicked, this, &TestAllSequencer::Test_All_Click);
    connect(m_form.Timer2, &QTimer::timeout, this, &TestAllSequencer::Timer2_Timer);
    // Every change of the value counts, from the mouse, the wheel or the keyboard. While the
    // handle is dragged the pace is taken once, on release, so the walk is not held back by
    // a timer restarted at every pixel.
    connect(m_form.sldGPIInterval, &QSlider::valueChanged, this, [this] {
        if (!m_form.sldGPIInterval->isSliderDown())
            sldGPIInterval_Click();
    });
    connect(m_form.sldGPIInterval, &QSlider::sliderReleased, this,
            &TestAllSequencer::sldGPIInterval_Click);
}

void TestAllSequencer::Test_All_Click() {
    m_outputs.All_Off_Click();
    TesterState &s = m_form.state;
    s.TestIndex = quint8(s.GPICount - 1);
    const bool running = m_form.Timer2->isActive();
    const bool connected = m_form.Vorn.state() == DeviceSocket::Connected;
    if (connected && !running) {
        m_form.Test_All->setText(QStringLiteral("STOP"));
        setRunControlsEnabled(false);
        m_form.Timer2->start();
        m_form.Echo->setChecked(false);
        m_form.Echo->setEnabled(false);
    } else {
        m_form.Timer2->stop();
        m_form.Test_All->setText(QStringLiteral("Test All"));
        setRunControlsEnabled(true);
        m_form.Echo->setEnabled(true);
    }
}

void TestAllSequencer::setRunControlsEnabled(bool enabled) {
    m_form.All_Off->setEnabled(enabled);
    m_form.All_On->setEnabled(enabled);
    m_form.GPI_Query_Inputs->setEnabled(enabled);
    m_form.GPI_Query_Outputs->setEnabled(enabled);
}

void TestAllSequencer::Timer2_Timer() {
    TesterState &s = m_form.state;
    OutputState::setAllBytes(s, 0xFF);
    // Both buttons the step touches only record their bits; the step sends once for both.
    OutputState::showOutput(m_form, s.TestIndex, false);
    s.TestIndex = s.TestIndex == s.GPICount - 1 ? 0 : quint8(s.TestIndex + 1);
    OutputState::showOutput(m_form, s.TestIndex, true);
    if (quint8 *byte = OutputState::byteOf(s, s.TestIndex))
        *byte = quint8(~OutputState::maskOf(s.TestIndex));
    else
        m_form.appendLog(QStringLiteral("Unexpected GPI_Out_Click"));
    m_outputs.SendGpiOutputs();
}

void TestAllSequencer::sldGPIInterval_Click() {
    m_form.Timer2->setInterval(m_form.sldGPIInterval->value());
}
