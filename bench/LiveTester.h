#pragma once

#include "app/Tester.h"
#include "platform/SerialPortDevice.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <memory>

// The tester as its program builds it: the real window with the real socket, clock and
// serial port, shown (offscreen, so it paints as it would on a screen).
class LiveTester {
public:
    explicit LiveTester(const QString &title = QStringLiteral("VORN GPI Tester"),
                        const QString &version = QStringLiteral("1.4.14"));
    ~LiveTester();

    Form1 &form() { return m_tester->form(); }
    Tester &tester() { return *m_tester; }

    // Types 127.0.0.1 and the port, presses Connect and waits for the connected layout.
    bool connectTo(quint16 port);
    // Presses Disconnect and waits for the disconnected layout.
    bool disconnect();

private:
    SystemClock m_clock;
    TcpDeviceSocket m_socket;
    SerialPortDevice m_serial;
    std::unique_ptr<Tester> m_tester;
};
