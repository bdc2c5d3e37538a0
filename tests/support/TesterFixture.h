#pragma once

#include "FakeClock.h"
#include "FakeDeviceSocket.h"
#include "FakeSerialPort.h"
#include "app/Tester.h"
#include "link/LinkStatus.h"

#include <QCoreApplication>
#include <memory>

// The real window with every subsystem, on fake platform parts. The title decides the
// build being tested (24 GPIs unless it starts with "VORN ZED8").
struct TesterFixture {
    explicit TesterFixture(const QString &title = QStringLiteral("VORN GPI Tester"),
                           const QString &version = QStringLiteral("1.4.14")) {
        QCoreApplication::setApplicationName(title);
        QCoreApplication::setApplicationVersion(version);
        tester = std::make_unique<Tester>(socket, clock, serial);
    }

    Form1 &form() { return tester->form(); }

    // Brings the window into the connected layout the way the link timer does.
    void connectNow() {
        socket.setState(DeviceSocket::Connected);
        tester->linkStatus().Timer1_Timer();
    }
    void disconnectNow() {
        socket.setState(DeviceSocket::Closed);
        tester->linkStatus().Timer1_Timer();
    }

    QStringList log() {
        QStringList lines;
        for (int i = 0; i < form().ListBox->count(); ++i)
            lines << form().ListBox->text(i);
        return lines;
    }

    FakeDeviceSocket socket;
    FakeClock clock;
    FakeSerialPort serial;
    std::unique_ptr<Tester> tester;
};

// A shown window in the connected layout, with the frames start-up sent cleared.
struct ConnectedTester : TesterFixture {
    explicit ConnectedTester(const QString &title = QStringLiteral("VORN GPI Tester"))
        : TesterFixture(title) {
        form().show();
        connectNow();
        socket.sent.clear();
    }
};
