#include "platform/TimerWaker.h"

#include <QTimer>
#include <QtTest>

#include <ctime>

namespace {

qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

constexpr qint64 Ms = 1000000;

} // namespace

class tst_TimerWaker : public QObject {
    Q_OBJECT

private slots:
    void init();
    void followsStartStopAndInterval();
    void keepsTheTimersSchedule();
    void leavesOtherTimersAlone();
    void addsNoTicks();
};

void tst_TimerWaker::init() {
#ifndef Q_OS_LINUX
    QSKIP("The waker works with Linux kernel timers only");
#endif
}

void tst_TimerWaker::followsStartStopAndInterval() {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(50);
    auto *waker = new TimerWaker(&timer);
    QCOMPARE(waker->nextWakeNs(), 0);

    qint64 before = monotonicNs();
    timer.start();
    qint64 after = monotonicNs();
    // Never ahead of Qt's own first timeout, which is counted from its start.
    QVERIFY(waker->nextWakeNs() >= before + 50 * Ms);
    QVERIFY(waker->nextWakeNs() <= after + 50 * Ms);

    before = monotonicNs();
    timer.setInterval(7);
    after = monotonicNs();
    QVERIFY(waker->nextWakeNs() >= before + 7 * Ms);
    QVERIFY(waker->nextWakeNs() <= after + 7 * Ms);

    timer.stop();
    QCOMPARE(waker->nextWakeNs(), 0);
}

void tst_TimerWaker::keepsTheTimersSchedule() {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(3);
    auto *waker = new TimerWaker(&timer);
    qint64 previous = 0;
    int ticks = 0;
    bool onSchedule = true;
    // Connected after the waker, so it sees the schedule the waker made for the next tick.
    connect(&timer, &QTimer::timeout, this, [&] {
        const qint64 now = monotonicNs();
        const qint64 due = waker->nextWakeNs() - 3 * Ms;
        // One interval after the previous timeout was due, or, after a late one, one interval
        // from a moment between then and now; never from the future.
        if (previous != 0 && due != previous && (due < previous || due > now))
            onSchedule = false;
        previous = waker->nextWakeNs();
        if (++ticks == 30)
            timer.stop();
    });
    timer.start();
    previous = waker->nextWakeNs();
    QTRY_COMPARE_WITH_TIMEOUT(ticks, 30, 10000);
    QVERIFY(onSchedule);
    QCOMPARE(waker->nextWakeNs(), 0);
}

void tst_TimerWaker::leavesOtherTimersAlone() {
    QTimer timer;
    timer.setTimerType(Qt::CoarseTimer);
    timer.setInterval(5);
    auto *waker = new TimerWaker(&timer);
    timer.start();
    QCOMPARE(waker->nextWakeNs(), 0);
}

void tst_TimerWaker::addsNoTicks() {
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setInterval(10);
    new TimerWaker(&timer);
    int ticks = 0;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    QElapsedTimer elapsed;
    elapsed.start();
    timer.start();
    QTest::qWait(200);
    timer.stop();
    // The timer is still Qt's: at most one tick per interval, however the loop is woken.
    QVERIFY2(ticks <= elapsed.elapsed() / 10 + 1, qPrintable(QString::number(ticks)));
}

QTEST_MAIN(tst_TimerWaker)
#include "tst_timerwaker.moc"
