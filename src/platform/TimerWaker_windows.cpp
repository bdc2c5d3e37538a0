#include "TimerWaker.h"

#include <QTimer>

// Qt's Windows event dispatcher serves precise timers from the multimedia timer, which the
// 1 ms period asked for at start-up makes fine enough; the waker has nothing to add there.
TimerWaker::TimerWaker(QTimer *timer) : QObject(timer), m_timer(timer) {}

TimerWaker::~TimerWaker() = default;
