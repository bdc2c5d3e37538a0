#pragma once

#include <QObject>

class Form1;

// The 100 ms tick: shows the socket state and idle time, ages the status-bar text, and
// switches the control layout on the edges of Connected and Closed.
class LinkStatus : public QObject {
    Q_OBJECT

public:
    explicit LinkStatus(Form1 &form);

    void Timer1_Timer();

private:
    void showState(const QString &text, const QColor &background);

    Form1 &m_form;
};
