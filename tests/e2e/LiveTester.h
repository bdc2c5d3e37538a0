#pragma once

#include "FakeSerialPort.h"
#include "SimulatedDevice.h"
#include "app/Tester.h"
#include "link/ConnectionControl.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QCoreApplication>
#include <QLocale>
#include <QtTest>
#include <memory>

// The real tester (window, every subsystem, the real socket and clock) against a simulated
// device on 127.0.0.1, driven the way an operator drives it: typing, clicking and watching
// the state box and the log. Only the PC's own serial port is a fake.
struct LiveTester {
    // Generous: these wait for a loopback round trip, however loaded the machine is.
    static constexpr int Patience = 20000;

    explicit LiveTester(const QString &title = QStringLiteral("VORN GPI Tester"),
                        const QString &version = QStringLiteral("1.4.14")) {
        QLocale::setDefault(QLocale::c());
        QCoreApplication::setApplicationName(title);
        QCoreApplication::setApplicationVersion(version);
        listening = device.listen(QHostAddress::LocalHost, 0);
        tester = std::make_unique<Tester>(socket, clock, serial);
        form().show();
    }

    Form1 &form() { return tester->form(); }

    // Types the address and port and clicks Connect, as an operator does once the window
    // shows its first link state.
    void clickConnect(quint16 port) {
        const bool ready = QTest::qWaitFor(
            [&] { return form().Connect->isEnabled() && !form().Vorn_State->text().isEmpty(); },
            Patience);
        if (!ready)
            qWarning("the window never showed a link state");
        form().Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
        form().Vorn_Port->setText(QString::number(port));
        QTest::mouseClick(form().Connect, Qt::LeftButton);
    }
    // Connects to the simulated device and waits for the state box to say so.
    bool connectToDevice() {
        clickConnect(device.serverPort());
        return QTest::qWaitFor(
            [&] {
                return form().Vorn_State->text().startsWith(QStringLiteral("Connected ")) &&
                       device.hasConnection() && form().GPI_Query_Inputs->isEnabled();
            },
            Patience);
    }
    void clickDisconnect() { QTest::mouseClick(form().Disconnect, Qt::LeftButton); }

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

    QStringList log() {
        QStringList lines;
        for (int i = 0; i < form().ListBox->count(); ++i)
            lines << form().ListBox->text(i);
        return lines;
    }
    QString lastLog() {
        const int n = form().ListBox->count();
        return n ? form().ListBox->text(n - 1) : QString();
    }
    // Waits until some log line ends with the text.
    bool waitForLogEnding(const QString &text) {
        return QTest::qWaitFor(
            [&] {
                const QStringList lines = log();
                return std::any_of(lines.cbegin(), lines.cend(),
                                   [&](const QString &line) { return line.endsWith(text); });
            },
            Patience);
    }
    int countLogEnding(const QString &text) {
        const QStringList lines = log();
        return int(std::count_if(lines.cbegin(), lines.cend(),
                                 [&](const QString &line) { return line.endsWith(text); }));
    }

    // The frames the device has received, in hex, oldest first.
    QStringList receivedHex() const {
        QStringList frames;
        for (const sim::SimFrame &frame : device.received())
            frames << QString::fromLatin1(frame.bytes.toHex(' '));
        return frames;
    }
    bool waitForReceived(int count) {
        return QTest::qWaitFor([&] { return device.received().size() >= count; }, Patience);
    }

    // A query and its answer: everything the device sent before the answer has arrived
    // and been handled by the time this returns true.
    bool roundTrip() {
        const int before = countLogEnding(QStringLiteral(" GPI Input"));
        click(form().GPI_Query_Inputs);
        return QTest::qWaitFor(
            [&] { return countLogEnding(QStringLiteral(" GPI Input")) > before; }, Patience);
    }

    sim::SimulatedDevice device;
    bool listening = false;
    SystemClock clock;
    TcpDeviceSocket socket;
    FakeSerialPort serial;
    std::unique_ptr<Tester> tester;
};
