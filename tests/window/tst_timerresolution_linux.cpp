#include "TesterFixture.h"

#include <QtTest>

#include <sys/prctl.h>

class tst_TimerResolution : public QObject {
    Q_OBJECT

private slots:
    void requestedAtStartUp();
};

void tst_TimerResolution::requestedAtStartUp() {
    prctl(PR_SET_TIMERSLACK, 50000ul, 0, 0, 0);
    TesterFixture f;
    // Linux timers are fine already; what start-up trims is the slack added to them.
    QVERIFY(prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0) <= 1000);
}

QTEST_MAIN(tst_TimerResolution)
#include "tst_timerresolution_linux.moc"
