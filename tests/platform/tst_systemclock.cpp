#include "platform/SystemClock.h"
#include "window/Stamps.h"

#include <QElapsedTimer>
#include <QtTest>

class tst_SystemClock : public QObject {
    Q_OBJECT

private slots:
    void counterIsMonotonicNanoseconds();
};

void tst_SystemClock::counterIsMonotonicNanoseconds() {
    // The start-up line reports the frequency given here; it must be the counter's own.
    QCOMPARE(QElapsedTimer::clockType(), QElapsedTimer::MonotonicClock);
    SystemClock clock;
    CounterHalves buffer;
    clock.queryPerformanceFrequency(buffer);
    QCOMPARE(CounterAsDouble(buffer.low, buffer.high), 1e9);

    QElapsedTimer reference;
    reference.start();
    clock.queryPerformanceCounter(buffer);
    const double first = CounterAsDouble(buffer.low, buffer.high);
    QTest::qWait(20);
    clock.queryPerformanceCounter(buffer);
    const double second = CounterAsDouble(buffer.low, buffer.high);
    const qint64 referenceNs = reference.nsecsElapsed();
    // The counter moved on by no more than the reference clock, in the same unit.
    QVERIFY(second - first >= 20e6);
    QVERIFY(second - first <= double(referenceNs));
}

QTEST_GUILESS_MAIN(tst_SystemClock)
#include "tst_systemclock.moc"
