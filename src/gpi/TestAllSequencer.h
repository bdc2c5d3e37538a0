#pragma once

#include <QObject>

class Form1;
class GpiOutputs;

// The Test All walk: one output on at a time, moving to the next at every tick of Timer2
// and wrapping from the last output to output 0. The slider sets the pace in milliseconds.
class TestAllSequencer : public QObject {
    Q_OBJECT

public:
    TestAllSequencer(Form1 &form, GpiOutputs &outputs);

    // Starts the walk when connected and idle; stops it otherwise.
    void Test_All_Click();
    // One step of the walk.
    void Timer2_Timer();
    // Copies the slider's value into Timer2's interval, also while the walk runs.
    void sldGPIInterval_Click();

private:
    void setRunControlsEnabled(bool enabled);

    Form1 &m_form;
    GpiOutputs &m_outputs;
};
