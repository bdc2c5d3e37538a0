#include "ReceiveDispatcher.h"

#include "gpi/OutputState.h"
#include "platform/Clock.h"
#include "platform/DeviceSocket.h"
#include "protocol/Frames.h"
#include "window/Form1.h"

#include <QStringBuilder>

namespace {

const char *const HeaderFailures[] = {"First byte unknown", "Second byte unknown",
                                      "Third byte unknown", "Fourth byte unknown"};

// Output buttons are checked, then unchecked where their bit is 1 (off). Each change runs
// the button's handler, so a button shown off and reported off runs it twice, and every
// index is visited once whatever those handlers do. All 24 are set in both builds, so the
// output bytes equal the report afterwards. A report only tells what the device already
// does, and a set-outputs frame for it would switch real outputs, so nothing is sent.
void showOutputState(Form1 &form, quint32 state) {
    for (int i = 0; i < Form1::GpiArraySize; ++i) {
        OutputState::showOutput(form, i, true);
        if (!GpiIsOn(state, i))
            OutputState::showOutput(form, i, false);
    }
}

QString shortMessageLine(const char *name, const QByteArray &frame) {
    return QStringLiteral("Short %1 message (%2 bytes)").arg(QLatin1String(name)).arg(frame.size());
}

} // namespace

ReceiveDispatcher::ReceiveDispatcher(Form1 &form) : m_form(form) {
    connect(&m_form.Vorn, &DeviceSocket::dataArrival, this, &ReceiveDispatcher::Vorn_DataArrival);
}

void ReceiveDispatcher::Vorn_DataArrival(qint64) {
    TesterState &s = m_form.state;
    // One counter reading serves the response time, the log stamps and the idle time.
    const double now = m_form.readCounter();
    s.ResponseCount = now;
    s.ArrivalCount = now;
    s.LastArrivalTime = now;

    const FrameClass frame = ClassifyFrame(m_form.Vorn.getData());
    if (frame.isMessage())
        handleMessage(frame.messageType, frame.bytes);
    else
        m_form.appendLog(QLatin1String(HeaderFailures[frame.failedByte - 1]));

    m_form.TrimTerminal();
    s.PrevArrivalCount = s.ArrivalCount;
}

void ReceiveDispatcher::handleMessage(quint8 type, const QByteArray &frame) {
    switch (type) {
    case Frame::SerialPort1Message:
    case Frame::SerialPort2Message:
    case Frame::SerialPort3Message:
    case Frame::SerialPort4Message:
        serialInput(type);
        break;
    case Frame::GpiMessage:
        gpiInput(frame);
        break;
    case Frame::IdResponse:
        idResponse(frame);
        break;
    case Frame::GpiOutputStatusMessage:
        gpiOutputStatus(frame);
        break;
    }
}

void ReceiveDispatcher::showStatus(const QString &text) {
    m_form.StatusBar->showMessage(text);
    renewStatusTime();
}

void ReceiveDispatcher::renewStatusTime() {
    m_form.state.StatusTextTime = m_form.state.ArrivalCount;
}

void ReceiveDispatcher::serialInput(quint8 type) {
    // The data itself is neither shown nor kept.
    const int port = type + 1;
    m_form.appendLog(m_form.standardPrefix() + QStringLiteral(" Serial Port %1 Input").arg(port));
    showStatus(QStringLiteral("Received Serial Port %1 Input message").arg(port));
}

void ReceiveDispatcher::gpiInput(const QByteArray &frame) {
    const std::optional<quint32> state = ReadGpiState(frame);
    if (!state) {
        // Nothing to show and nothing sound to echo.
        m_form.appendLog(shortMessageLine("GPI Input", frame));
        return;
    }
    // The message has the layout of a set-outputs message, so sending it back unchanged sets
    // every output to its input. Only the message goes back: whatever TCP joined to it in
    // the arrival (a serial input, another report) would reach the box as frames of its own.
    // It goes first: the box's round trip need not wait for the window's own bookkeeping,
    // which reads nothing the echo changes.
    if (m_form.Echo->isChecked() && m_form.Echo->isEnabled() &&
        m_form.Vorn.state() == DeviceSocket::Connected)
        m_form.Vorn.sendData(frame.left(Frame::GpiMessageLength));

    showStatus(QStringLiteral("Received GPI Input message"));
    // Built to its exact size at once: the line is kept for the whole session.
    m_form.appendLog(m_form.widePrefix() % QLatin1String(" GPI Input"));
    // The indicators have no handler: they take the state when the window next paints them.
    m_form.showInputState(*state);
}

void ReceiveDispatcher::idResponse(const QByteArray &frame) {
    const std::optional<QString> version = ReadFirmwareVersion(frame);
    if (!version) {
        m_form.appendLog(shortMessageLine("ID Response", frame));
        return;
    }
    showStatus(QStringLiteral("Received ID Response"));
    m_form.setWindowTitle(m_form.BaseCaption() + QLatin1String(" (Firmware v") + *version +
                          QLatin1Char(')'));
    m_form.appendLog(m_form.standardPrefix() + QLatin1String(" Firmware v") + *version +
                     QLatin1Char(' ') + m_form.responseTimeStamp());
}

void ReceiveDispatcher::gpiOutputStatus(const QByteArray &frame) {
    const std::optional<quint32> state = ReadGpiState(frame);
    if (!state) {
        m_form.appendLog(shortMessageLine("GPI Output", frame));
        return;
    }
    m_form.appendLog(m_form.standardPrefix() % QLatin1String(" GPI Output"));
    // The text on the status bar stays; only its age starts again.
    renewStatusTime();
    showOutputState(m_form, *state);
}
