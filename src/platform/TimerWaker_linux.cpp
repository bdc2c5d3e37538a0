#include "TimerWaker.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <time.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_LINUX
// Qt's timers count on this clock.
qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
#endif

} // namespace

TimerWaker::TimerWaker(QTimer *timer) : QObject(timer), m_timer(timer) {
#ifdef Q_OS_LINUX
    m_fd = ::timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    // Waking the loop is all it is for; the expiry count is of no interest.
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        quint64 expiries = 0;
        [[maybe_unused]] const ssize_t got = ::read(m_fd, &expiries, sizeof(expiries));
    });
    connect(m_timer, &QTimer::timeout, this, &TimerWaker::onTimeout);
    // Qt tells of a start or stop after the timer has been registered, so the schedule
    // followed here never runs ahead of Qt's own.
    m_activeChanged = m_timer->bindableActive().addNotifier([this] { follow(); });
    m_intervalChanged = m_timer->bindableInterval().addNotifier([this] { follow(); });
    follow();
#endif
}

TimerWaker::~TimerWaker() {
#ifdef Q_OS_LINUX
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void TimerWaker::setWaking(bool on) {
    if (m_notifier)
        m_notifier->setEnabled(on);
}

void TimerWaker::follow() {
#ifdef Q_OS_LINUX
    if (m_timer->isActive() && m_timer->timerType() == Qt::PreciseTimer)
        arm(monotonicNs() + qint64(m_timer->interval()) * 1000000);
    else
        arm(0);
#endif
}

void TimerWaker::onTimeout() {
#ifdef Q_OS_LINUX
    if (m_dueNs == 0 || !m_timer->isActive())
        return;
    const qint64 now = monotonicNs();
    const qint64 interval = qint64(m_timer->interval()) * 1000000;
    qint64 next = m_dueNs + interval;
    if (next < now)
        next = now + interval;
    arm(next);
#endif
}

void TimerWaker::arm(qint64 dueNs) {
    m_dueNs = dueNs;
#ifdef Q_OS_LINUX
    itimerspec expiry{};
    expiry.it_value.tv_sec = time_t(dueNs / 1000000000);
    expiry.it_value.tv_nsec = long(dueNs % 1000000000);
    // An all-zero value disarms.
    ::timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &expiry, nullptr);
#endif
}
