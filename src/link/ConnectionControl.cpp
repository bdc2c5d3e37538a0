#include "ConnectionControl.h"

#include "platform/Clock.h"
#include "platform/DeviceSocket.h"
#include "platform/LenientNumber.h"
#include "window/Form1.h"

#include <QFocusEvent>

ConnectionControl::ConnectionControl(Form1 &form) : m_form(form) {
    m_form.Vorn_Port->installEventFilter(this);
    connect(m_form.Connect, &QPushButton::clicked, this, &ConnectionControl::Connect_Click);
    connect(m_form.Disconnect, &QPushButton::clicked, this, &ConnectionControl::Disconnect_Click);
    connect(&m_form.Vorn, &DeviceSocket::error, this, &ConnectionControl::Vorn_Error);
}

bool ConnectionControl::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_form.Vorn_Port && event->type() == QEvent::FocusOut) {
        // Switching to another window or opening a menu does not leave the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            Vorn_Port_LostFocus();
    }
    return QObject::eventFilter(watched, event);
}

void ConnectionControl::rejectPort(double reserved, const char *message) {
    if (leadingNumber(m_form.Vorn_Port->text()) == reserved) {
        m_form.Vorn_Port->setText(QStringLiteral("23"));
        m_form.appendLog(QLatin1String(message));
        m_form.TrimTerminal();
    }
}

void ConnectionControl::Vorn_Port_LostFocus() {
    rejectPort(4141, "Port 4141 is reserved for configuration");
    rejectPort(8000, "Port 8000 is reserved for GPI Loader");
}

void ConnectionControl::Connect_Click() {
    m_form.Vorn.connectToDevice(m_form.Vorn_Address->currentText(), m_form.Vorn_Port->text());
    TesterState &s = m_form.state;
    const double now = m_form.readCounter();
    s.LastArrivalTime = now;
    s.StatusTextTime = now;
    s.RequestSentCount = now;
    s.ConnectCount = now;
    s.ArrivalCount = now;
    s.PrevArrivalCount = now;
    m_form.appendLog(QStringLiteral("Connect"));
    m_form.TrimTerminal();
}

void ConnectionControl::Disconnect_Click() {
    m_form.Timer2->stop();
    m_form.appendLog(QStringLiteral("Disconnect"));
    m_form.TrimTerminal();
    m_form.Vorn.close();
    m_form.setWindowTitle(m_form.BaseCaption());
}

void ConnectionControl::Vorn_Error(qint16 number, const QString &description) {
    m_form.appendLog(description);
    switch (number) {
    case 10053:
        m_form.appendLog(QStringLiteral("Hint: Connection Lost"));
        break;
    case 10060:
        m_form.appendLog(QStringLiteral("Hint: Can't find Vorn, check IP address"));
        break;
    case 10061:
        m_form.appendLog(QStringLiteral("Hint: Power Cycle Vorn"));
        break;
    case 10065:
        m_form.appendLog(QStringLiteral("Hint: Check network connection and settings."));
        break;
    default:
        m_form.appendLog(QString::number(number));
        break;
    }
    m_form.TrimTerminal();
}
