#include "TimerResolution.h"

#include <QtGlobal>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif

void requestTimerResolution(int milliseconds) {
#ifdef Q_OS_LINUX
    // Linux timers are already fine-grained; what delays them is the timer slack the kernel
    // may add (50 us by default). Keep it well below the resolution asked for.
    const unsigned long slackNs = milliseconds > 0 ? 1000ul : 1ul;
    prctl(PR_SET_TIMERSLACK, slackNs, 0, 0, 0);
#else
    Q_UNUSED(milliseconds);
#endif
}
