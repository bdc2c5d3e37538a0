#include "LinkStatus.h"

#include "platform/Clock.h"
#include "platform/DeviceSocket.h"
#include "window/Form1.h"

#include <cmath>

namespace {
constexpr double IdleThreshold = 5.2;
constexpr double StatusTextLifetime = 0.25;
constexpr qint16 TickLimit = 15;
} // namespace

LinkStatus::LinkStatus(Form1 &form) : m_form(form) {
    connect(m_form.Timer1, &QTimer::timeout, this, &LinkStatus::Timer1_Timer);
}

void LinkStatus::showState(const QString &text, const QColor &background) {
    QLineEdit *box = m_form.Vorn_State;
    if (box->text() != text) {
        box->setText(text);
        // A text set from code shows from its first character, as a text box does, and not
        // scrolled to its end: "Peer is closing connection" is wider than the box.
        box->setCursorPosition(0);
    }
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::Base, background);
    if (palette != box->palette())
        box->setPalette(palette);
}

void LinkStatus::Timer1_Timer() {
    TesterState &s = m_form.state;
    const QColor yellow(255, 255, 0);
    const QColor red(255, 0, 0);
    switch (m_form.Vorn.state()) {
    case DeviceSocket::Closed:
        showState(QStringLiteral("Closed"), QColor(255, 255, 255));
        if (s.ClosedTicks == 0)
            m_form.SetConnectedControls(false);
        if (s.ClosedTicks < TickLimit)
            ++s.ClosedTicks;
        s.ConnectedTicks = 0;
        break;
    case DeviceSocket::Open:
        showState(QStringLiteral("Open"), yellow);
        break;
    case DeviceSocket::Listening:
        showState(QStringLiteral("Listening"), yellow);
        break;
    case DeviceSocket::ConnectionPending:
        showState(QStringLiteral("Connection Pending"), yellow);
        break;
    case DeviceSocket::ResolvingHost:
        showState(QStringLiteral("Resolving Host"), yellow);
        break;
    case DeviceSocket::HostResolved:
        showState(QStringLiteral("Host Resolved"), yellow);
        break;
    case DeviceSocket::Connecting:
        showState(QStringLiteral("Connecting"), yellow);
        s.LastArrivalTime = m_form.readCounter();
        break;
    case DeviceSocket::Connected: {
        const double idle = m_form.secondsSince(s.LastArrivalTime);
        const QString text = idle <= IdleThreshold
                                 ? QStringLiteral("Connected %1").arg(m_form.Vorn.localPort())
                                 : QStringLiteral("Idle %1 sec").arg(qint64(std::floor(idle)));
        showState(text, QColor(0, 255, 0));
        if (m_form.secondsSince(s.StatusTextTime) > StatusTextLifetime)
            m_form.StatusBar->clearMessage();
        if (s.ConnectedTicks == 0)
            m_form.SetConnectedControls(true);
        if (s.ConnectedTicks < TickLimit)
            ++s.ConnectedTicks;
        s.ClosedTicks = 0;
        break;
    }
    case DeviceSocket::Closing:
        showState(QStringLiteral("Peer is closing connection"), red);
        break;
    case DeviceSocket::Error:
        showState(QStringLiteral("Error"), red);
        break;
    default:
        showState(QStringLiteral("Unknown State"), red);
        break;
    }
}
