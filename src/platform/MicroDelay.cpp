#include "MicroDelay.h"

#include <QSocketNotifier>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>
#endif

MicroDelay::MicroDelay(QObject *parent) : QObject(parent) {
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &MicroDelay::expire);
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            quint64 expiries = 0;
            if (::read(m_fd, &expiries, sizeof(expiries)) == sizeof(expiries))
                expire();
        });
    }
#endif
}

MicroDelay::~MicroDelay() {
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void MicroDelay::start(int microseconds) {
    m_active = true;
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        itimerspec expiry{};
        const long us = qMax(1, microseconds);
        expiry.it_value.tv_sec = us / 1000000;
        expiry.it_value.tv_nsec = (us % 1000000) * 1000;
        ::timerfd_settime(m_fd, 0, &expiry, nullptr);
        return;
    }
#endif
    m_fallback.start(qMax(1, (microseconds + 999) / 1000));
}

void MicroDelay::stop() {
    m_active = false;
    m_fallback.stop();
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec disarmed{};
        ::timerfd_settime(m_fd, 0, &disarmed, nullptr);
    }
#endif
}

void MicroDelay::expire() {
    if (!m_active)
        return;
    m_active = false;
    emit timeout();
}
