#include "OutputState.h"

#include "window/Form1.h"

namespace OutputState {

quint8 *byteOf(TesterState &state, int index) {
    switch (index < 0 ? -1 : index / 8) {
    case 0:
        return &state.GPIOutByte0;
    case 1:
        return &state.GPIOutByte1;
    case 2:
        return &state.GPIOutByte2;
    default:
        return nullptr;
    }
}

quint8 maskOf(int index) {
    return quint8(1u << (index % 8));
}

void setAllBytes(TesterState &state, quint8 value) {
    state.GPIOutByte0 = value;
    state.GPIOutByte1 = value;
    state.GPIOutByte2 = value;
}

bool sendsOnChange(const Form1 &form, int index) {
    return form.GPI_Out[index]->isEnabled();
}

void showOutput(Form1 &form, int index, bool on) {
    if (index < 0 || index >= Form1::GpiArraySize)
        return;
    CheckBox *button = form.GPI_Out[index];
    if (button->isChecked() == on)
        return;
    form.Echo->setChecked(false);
    const bool enabled = button->isEnabled();
    // Qt moves the focus on from a control it disables; the operator's next key press must
    // still reach the output they were on.
    const bool focused = form.focusWidget() == button;
    button->setEnabled(false);
    button->setChecked(on);
    button->setEnabled(enabled);
    if (focused && enabled)
        button->setFocus(Qt::OtherFocusReason);
}

} // namespace OutputState
