#pragma once

#include <QByteArray>
#include <QObject>

class Form1;

// The three actions on the device's serial ports: greetings and breaks on the ports ticked
// in the Port 1..4 boxes, and the fixed break-then-"U" sequence on port 1.
class SerialMessages : public QObject {
    Q_OBJECT

public:
    explicit SerialMessages(Form1 &form);

    // Act when a mouse button (any) goes down; keyboard activation does nothing.
    void cmdSendSerial_MouseDown();
    void cmdSendBreak_MouseDown();
    // Acts on a completed click, from the mouse or the keyboard.
    void cmdBreakSerial_Click();

    // "Hello port N." with CR LF, for port index 0..3 (port N = index + 1).
    static QByteArray Greeting(int portIndex);

private:
    bool connected() const;

    Form1 &m_form;
};
