#pragma once

#include "FakeSerialPort.h"
#include "ProcessFigures.h"
#include "SimulatedDevice.h"
#include "app/Tester.h"
#include "gpi/GpiOutputs.h"
#include "link/ConnectionControl.h"
#include "link/LinkStatus.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QLocale>
#include <QtTest>

#include <algorithm>
#include <memory>

// The real socket, counting what it hands to the system, so that a test can tell when the
// device has taken in everything the tester sent.
class CountingSocket : public TcpDeviceSocket {
public:
    bool sendData(const QByteArray &bytes) override {
        const bool sent = TcpDeviceSocket::sendData(bytes);
        if (sent)
            sentBytes += bytes.size();
        return sent;
    }
    qint64 sentBytes = 0;
};

// The real window with the real socket against the simulated device on 127.0.0.1, driven
// the way an operator drives it, for the end-to-end and fault tests. Only the PC's serial
// port is a fake.
struct LiveRig {
    // Generous: a loopback round trip on a loaded machine, or in a sanitizer build.
    static constexpr int Patience = 30000;

    explicit LiveRig(const QString &title = QStringLiteral("VORN GPI Tester")) {
        QLocale::setDefault(QLocale::c());
        QCoreApplication::setApplicationName(title);
        QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));
        listening = device.listen(QHostAddress::LocalHost, 0);
        tester = std::make_unique<Tester>(socket, clock, serial);
        form().show();
    }

    Form1 &form() { return tester->form(); }
    quint16 devicePort() const { return device.serverPort(); }

    // Fills in address and port as an operator types them and presses Connect.
    // Right after start-up the first link-status tick, which unlocks Connect, is let run.
    void connectTo(const QString &address, const QString &port) {
        if (!form().Connect->isEnabled())
            tick();
        form().Vorn_Address->setEditText(address);
        form().Vorn_Port->setText(port);
        QTest::mouseClick(form().Connect, Qt::LeftButton);
    }
    void disconnect() { QTest::mouseClick(form().Disconnect, Qt::LeftButton); }
    void click(QAbstractButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    // A click on the box of a check box.
    void clickBox(QAbstractButton *box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }
    // A press and release, for the buttons that act when the mouse goes down.
    void press(QAbstractButton *button) {
        QTest::mousePress(button, Qt::LeftButton);
        QTest::mouseRelease(button, Qt::LeftButton);
    }

    // One link-status tick now, instead of waiting up to 100 ms for the timer.
    void tick() { tester->linkStatus().Timer1_Timer(); }

    // Connects to the device and waits until the window shows the connected layout.
    bool connectToDevice() {
        connectTo(QStringLiteral("127.0.0.1"), QString::number(devicePort()));
        return waitConnected();
    }
    bool waitConnected() {
        return QTest::qWaitFor(
            [&] {
                tick();
                return stateText().startsWith(QStringLiteral("Connected ")) &&
                       device.hasConnection() && isConnectedLayout();
            },
            Patience);
    }
    // Disconnect, and wait until the device has seen the connection go and the window is
    // back in the disconnected layout.
    bool disconnectFromDevice() {
        disconnect();
        return QTest::qWaitFor(
            [&] {
                tick();
                return !device.hasConnection() && stateText() == QLatin1String("Closed") &&
                       isDisconnectedLayout();
            },
            Patience);
    }

    QString stateText() const { return tester->form().Vorn_State->text(); }
    QColor stateBackground() const {
        return tester->form().Vorn_State->palette().color(QPalette::Base);
    }
    QColor stateTextColour() const {
        return tester->form().Vorn_State->palette().color(QPalette::Text);
    }

    // The controls that the two layouts switch, all in the connected or all in the
    // disconnected position.
    bool isLayout(bool connected) {
        Form1 &f = form();
        bool ok = f.Connect->isEnabled() == !connected &&
                  f.Vorn_Address->isEnabled() == !connected &&
                  f.Vorn_Port->isEnabled() == !connected && f.All_On->isEnabled() == connected &&
                  f.All_Off->isEnabled() == connected && f.Test_All->isEnabled() == connected &&
                  f.GPI_Query_Inputs->isEnabled() == connected &&
                  f.GPI_Query_Outputs->isEnabled() == connected &&
                  f.Query_Firmware->isEnabled() == connected &&
                  f.sldGPIInterval->isEnabled() == connected && f.Disconnect->isEnabled();
        for (int i = 0; i < f.state.GPICount; ++i)
            ok = ok && f.GPI_Out[i]->isEnabled() == connected &&
                 f.GPI_In[i]->isEnabled() == connected;
        return ok;
    }
    bool isConnectedLayout() { return isLayout(true); }
    bool isDisconnectedLayout() { return isLayout(false); }

    QStringList log() {
        QStringList lines;
        for (int i = 0; i < form().ListBox->count(); ++i)
            lines << form().ListBox->text(i);
        return lines;
    }
    // The lines added since the log held `mark` lines (as long as none were trimmed away).
    QStringList logSince(int mark) { return log().mid(mark); }
    int logSize() { return form().ListBox->count(); }
    QString lastLog() {
        const int n = logSize();
        return n ? form().ListBox->text(n - 1) : QString();
    }
    bool waitForLastLog(const QString &line) {
        return QTest::qWaitFor([&] { return lastLog() == line; }, Patience);
    }
    bool waitForLastLogEnding(const QString &text) {
        return QTest::qWaitFor([&] { return lastLog().endsWith(text); }, Patience);
    }
    int countLogEnding(const QString &text) {
        const QStringList lines = log();
        return int(std::count_if(lines.cbegin(), lines.cend(),
                                 [&](const QString &line) { return line.endsWith(text); }));
    }
    // Waits until some log line ends with the text.
    bool waitForLogEnding(const QString &text) {
        return QTest::qWaitFor([&] { return countLogEnding(text) > 0; }, Patience);
    }

    // Query In and its answer: true once the answer's log line is there. Everything the
    // device sent before it has arrived and been handled by then.
    bool queryInWorks() {
        const int before = device.received().size();
        click(form().GPI_Query_Inputs);
        const auto asked = [&] {
            const QList<sim::SimFrame> frames = device.received().mid(before);
            return std::any_of(frames.cbegin(), frames.cend(), [](const sim::SimFrame &frame) {
                return frame.bytes == QByteArray::fromHex("ff0001");
            });
        };
        return QTest::qWaitFor(
            [&] { return lastLog().endsWith(QLatin1String(" GPI Input")) && asked(); }, Patience);
    }

    // The frames the device has received, in hex, oldest first.
    QStringList receivedHex() const {
        QStringList frames;
        for (const sim::SimFrame &frame : device.received())
            frames << QString::fromLatin1(frame.bytes.toHex(' '));
        return frames;
    }
    bool waitForReceivedAtLeast(int frames) {
        return QTest::qWaitFor([&] { return device.received().size() >= frames; }, Patience);
    }

    // True once the device has read and parsed every byte the tester has sent.
    bool waitDeviceCaughtUp() {
        return QTest::qWaitFor([&] { return device.stats().bytesReceived == socket.sentBytes; },
                               Patience);
    }

    // Disconnect if need be, Connect, and Query In with its answer: the link still works.
    bool reconnectAndQueryWork() {
        if (socket.state() != DeviceSocket::Closed && !disconnectFromDevice())
            return false;
        return connectToDevice() && queryInWorks();
    }

    sim::SimulatedDevice device;
    bool listening = false;
    SystemClock clock;
    CountingSocket socket;
    FakeSerialPort serial;
    std::unique_ptr<Tester> tester;
};

// Sanitizer builds keep freed memory in quarantine, so resident memory says little there;
// the leak checker watches instead.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool MemoryFiguresMeanSomething = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool MemoryFiguresMeanSomething = false;
#else
constexpr bool MemoryFiguresMeanSomething = true;
#endif
#else
constexpr bool MemoryFiguresMeanSomething = true;
#endif
