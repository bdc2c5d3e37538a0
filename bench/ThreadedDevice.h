#pragma once

#include "DeviceThread.h"
#include "SimulatedDevice.h"

// A simulated device that lives in the device thread and listens on a free loopback port.
// Only code running in the device thread may touch device().
class ThreadedDevice {
public:
    explicit ThreadedDevice(DeviceThread &thread);
    ~ThreadedDevice();
    ThreadedDevice(const ThreadedDevice &) = delete;
    ThreadedDevice &operator=(const ThreadedDevice &) = delete;

    quint16 port() const { return m_port; }
    sim::SimulatedDevice &device() { return *m_device; }
    DeviceThread &thread() { return m_thread; }

    // Waits (running the caller's event loop) until a client is or is no longer connected.
    bool waitForConnection(bool connected, int timeoutMs = 5000);

private:
    DeviceThread &m_thread;
    sim::SimulatedDevice *m_device = nullptr;
    quint16 m_port = 0;
};

// True for a set-outputs frame, the kind both the echo and the Test All walk send.
bool isSetOutputsFrame(const sim::SimFrame &frame);
