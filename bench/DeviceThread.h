#pragma once

#include <QEventLoop>
#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>

// A thread of its own for the simulated devices, with its own event loop: the tester's
// thread and the device's meet only through the loopback socket, as with a real device.
class DeviceThread {
public:
    DeviceThread();
    ~DeviceThread();
    DeviceThread(const DeviceThread &) = delete;
    DeviceThread &operator=(const DeviceThread &) = delete;

    // Runs f in the device thread and waits until it has returned.
    template <class F> void call(F &&f) {
        QMetaObject::invokeMethod(&m_context, std::forward<F>(f), Qt::BlockingQueuedConnection);
    }
    // Runs f in the device thread as soon as it is free; does not wait.
    template <class F> void post(F &&f) {
        QMetaObject::invokeMethod(&m_context, std::forward<F>(f), Qt::QueuedConnection);
    }

private:
    QThread m_thread;
    QObject m_context;
};

// A finish line that any thread may cross; the thread that waits for it keeps its event loop
// running meanwhile, so the tester's window goes on working while a device runs a scenario.
class Completion {
public:
    // Thread-safe; the first call counts.
    void finish();
    // Runs the calling thread's event loop until finish() or the time is up.
    bool wait(int timeoutMs);
    bool finished() const { return m_finished; }

private:
    std::atomic<bool> m_finished{false};
    QEventLoop *m_loop = nullptr;
    QObject m_context;
};

// Runs the calling thread's event loop until done() holds, checked every few milliseconds,
// or the time is up. For set-up steps, not for anything that is timed.
bool runUntil(const std::function<bool()> &done, int timeoutMs);
