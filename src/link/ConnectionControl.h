#pragma once

#include <QObject>

class Form1;

// What the operator does to the link: the port check, Connect, Disconnect, and the
// socket's error reports.
class ConnectionControl : public QObject {
    Q_OBJECT

public:
    explicit ConnectionControl(Form1 &form);

    void Vorn_Port_LostFocus();
    void Connect_Click();
    void Disconnect_Click();
    void Vorn_Error(qint16 number, const QString &description);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rejectPort(double reserved, const char *message);

    Form1 &m_form;
};
