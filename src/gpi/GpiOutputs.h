#pragma once

#include <QObject>

class Form1;

// The operator's direct control of the outputs and the three status questions: the output
// buttons, All On, All Off, a click on an input indicator, Query In, Query Out and Query FW.
// The output state lives in the state record's three output bytes; every change is sent
// whole in one set-outputs message.
class GpiOutputs : public QObject {
    Q_OBJECT

public:
    explicit GpiOutputs(Form1 &form);

    // Runs for every change of an output button's checked state, from the operator or from
    // the program.
    void GPI_Out_Click(int index);
    void All_On_Click();
    void All_Off_Click();
    void SendGpiOutputs();

    // toggled tells whether the click changed the indicator's check state.
    void GPI_In_MouseUp(int index, Qt::MouseButton button, bool toggled);
    void GPI_Query_Inputs_Click();
    void GPI_Query_Outputs_Click();
    void Query_Firmware_Click();
    void SendFirmwareRequest();

private:
    void setAllOutputs(quint8 value, bool checked);
    void sendQuery(const QString &logLine, const QByteArray &frame);
    bool connected() const;

    Form1 &m_form;
};
