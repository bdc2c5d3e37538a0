#include "TimerResolution.h"

#include <QCoreApplication>

#include <windows.h>

#include <timeapi.h>

namespace {

// The period asked for, given back when the application ends; 0 while none is held.
UINT heldPeriod = 0;

void releasePeriod() {
    if (heldPeriod != 0)
        timeEndPeriod(heldPeriod);
    heldPeriod = 0;
}

} // namespace

void requestTimerResolution(int milliseconds) {
    // Windows timers tick every 15.6 ms unless a program asks for finer ones; the request
    // holds until the matching timeEndPeriod, made here when the application ends.
    releasePeriod();
    if (milliseconds <= 0 || timeBeginPeriod(UINT(milliseconds)) != TIMERR_NOERROR)
        return;
    heldPeriod = UINT(milliseconds);
    static bool routineAdded = false;
    if (!routineAdded && QCoreApplication::instance()) {
        qAddPostRoutine(releasePeriod);
        routineAdded = true;
    }
}
