#pragma once

#include <QObject>
#include <QPropertyNotifier>

class QSocketNotifier;
class QTimer;

// Wakes the event loop the moment a precise timer falls due. Qt's event loops sleep until
// the next whole millisecond, so a 1 ms timer ticks up to a millisecond late and a walk paced
// by it runs several percent slow. The waker follows the timer's schedule as Qt keeps it
// (each timeout one interval after the previous one was due, or one interval after it came
// when it came more than an interval late) and arms a kernel timer for the next timeout;
// when it expires the event loop's wait ends on time, Qt finds the timer due and fires it
// as usual. The timer itself is untouched: its interval, activity and timeouts are Qt's.
// On systems without such kernel timers the waker does nothing.
class TimerWaker : public QObject {
    Q_OBJECT

public:
    // Connect it before anyone else connects to the timer's timeout, so that it sees each
    // timeout as early as possible.
    explicit TimerWaker(QTimer *timer);
    ~TimerWaker() override;

    // Off, the waker keeps following the timer but no longer wakes the event loop.
    void setWaking(bool on);

    // When the loop is next woken, in CLOCK_MONOTONIC nanoseconds; 0 while the timer rests.
    qint64 nextWakeNs() const { return m_dueNs; }

private:
    void follow();
    void onTimeout();
    void arm(qint64 dueNs);

    QTimer *m_timer;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    qint64 m_dueNs = 0;
    QPropertyNotifier m_activeChanged;
    QPropertyNotifier m_intervalChanged;
};
