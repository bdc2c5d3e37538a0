#include "TesterFixture.h"

#include <QtTest>

#include <windows.h>

#include <timeapi.h>

class tst_TimerResolution : public QObject {
    Q_OBJECT

private slots:
    void requestedAtStartUp();
};

// The tester holds a 1 ms period from start-up on: Windows refuses a timeEndPeriod without
// its timeBeginPeriod, so ending it here succeeds (and it is asked for again after).
void tst_TimerResolution::requestedAtStartUp() {
    TesterFixture f;
    QCOMPARE(timeEndPeriod(1), MMRESULT(TIMERR_NOERROR));
    QCOMPARE(timeBeginPeriod(1), MMRESULT(TIMERR_NOERROR));
}

QTEST_MAIN(tst_TimerResolution)
#include "tst_timerresolution_windows.moc"
