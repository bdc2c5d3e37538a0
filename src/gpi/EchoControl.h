#pragma once

#include <QObject>

class Form1;

// Echo mode: while the Echo box is ticked the device's outputs follow its inputs (the
// receive side returns each input message), so the manual output controls are locked.
class EchoControl : public QObject {
    Q_OBJECT

public:
    explicit EchoControl(Form1 &form);

    // Runs on every change of Echo's check state, by the operator or by the program.
    void Echo_Click();

private:
    void setManualOutputsEnabled(bool enabled);

    Form1 &m_form;
};
