#include "EchoControl.h"

#include "window/Form1.h"

EchoControl::EchoControl(Form1 &form) : m_form(form) {
    connect(m_form.Echo, &QAbstractButton::toggled, this, &EchoControl::Echo_Click);
}

void EchoControl::Echo_Click() {
    // Echo mode needs no link: unlocking works the same when disconnected.
    if (m_form.Echo->isChecked())
        setManualOutputsEnabled(false);
    if (!m_form.Echo->isChecked())
        setManualOutputsEnabled(true);
}

void EchoControl::setManualOutputsEnabled(bool enabled) {
    m_form.All_On->setEnabled(enabled);
    m_form.All_Off->setEnabled(enabled);
    m_form.Test_All->setEnabled(enabled);
    // Outputs beyond this build's count keep their design state.
    for (int k = 0; k < m_form.state.GPICount; ++k)
        m_form.GPI_Out[k]->setEnabled(enabled);
}
