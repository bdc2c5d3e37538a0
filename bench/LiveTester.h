#pragma once

#include "app/Tester.h"
#include "platform/SerialPortDevice.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <cstdint>
#include <memory>

// The system's clock, as the tester reads it, noting on the benchmark's clock when it was
// last read: the receive handler reads it first thing, so that is when handling began.
class ObservedClock : public Clock {
public:
    void queryPerformanceFrequency(CounterHalves &buffer) override {
        m_clock.queryPerformanceFrequency(buffer);
    }
    void queryPerformanceCounter(CounterHalves &buffer) override;

    std::int64_t lastCounterReadNs() const { return m_lastReadNs; }

private:
    SystemClock m_clock;
    std::int64_t m_lastReadNs = 0;
};

// The tester as its program builds it: the real window with the real socket, clock and
// serial port, shown (offscreen, so it paints as it would on a screen). The clock only
// notes when it is read.
class LiveTester {
public:
    explicit LiveTester(const QString &title = QStringLiteral("VORN GPI Tester"),
                        const QString &version = QStringLiteral("1.4.14"));
    ~LiveTester();

    Form1 &form() { return m_tester->form(); }
    const ObservedClock &clock() const { return m_clock; }
    Tester &tester() { return *m_tester; }

    // Types 127.0.0.1 and the port, presses Connect and waits for the connected layout.
    bool connectTo(quint16 port);
    // Presses Disconnect and waits for the disconnected layout.
    bool disconnect();

private:
    ObservedClock m_clock;
    TcpDeviceSocket m_socket;
    SerialPortDevice m_serial;
    std::unique_ptr<Tester> m_tester;
};
