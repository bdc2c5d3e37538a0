#include "DeviceThread.h"

#include <QTimer>

DeviceThread::DeviceThread() {
    m_thread.setObjectName(QStringLiteral("device"));
    m_context.moveToThread(&m_thread);
    m_thread.start();
}

DeviceThread::~DeviceThread() {
    m_thread.quit();
    m_thread.wait();
}

void Completion::finish() {
    if (m_finished.exchange(true))
        return;
    // m_context lives in the waiting thread: the quit runs there, inside its loop.
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            if (m_loop)
                m_loop->quit();
        },
        Qt::QueuedConnection);
}

bool Completion::wait(int timeoutMs) {
    if (m_finished)
        return true;
    QEventLoop loop;
    m_loop = &loop;
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    // A finish() that came before the loop ran has queued its quit already.
    if (!m_finished)
        loop.exec();
    m_loop = nullptr;
    return m_finished;
}

bool runUntil(const std::function<bool()> &done, int timeoutMs) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}
