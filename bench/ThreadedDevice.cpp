#include "ThreadedDevice.h"

ThreadedDevice::ThreadedDevice(DeviceThread &thread) : m_thread(thread) {
    m_thread.call([this] {
        m_device = new sim::SimulatedDevice;
        if (m_device->listen(QHostAddress::LocalHost, 0))
            m_port = m_device->serverPort();
    });
}

ThreadedDevice::~ThreadedDevice() {
    m_thread.call([this] { delete m_device; });
}

bool ThreadedDevice::waitForConnection(bool connected, int timeoutMs) {
    return runUntil(
        [this, connected] {
            bool has = false;
            m_thread.call([this, &has] { has = m_device->hasConnection(); });
            return has == connected;
        },
        timeoutMs);
}

bool isSetOutputsFrame(const sim::SimFrame &frame) {
    return frame.direction == sim::SimFrame::Received && frame.bytes.size() == 7 &&
           frame.bytes.startsWith(QByteArray::fromHex("ff000004"));
}
