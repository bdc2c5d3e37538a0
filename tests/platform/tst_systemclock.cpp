#include "platform/SystemClock.h"
#include "window/Stamps.h"

#include <QElapsedTimer>
#include <QTime>
#include <QtTest>

class tst_SystemClock : public QObject {
    Q_OBJECT

private slots:
    void counterIsMonotonicNanoseconds();
    void timeOfDayIsSecondsSinceMidnight();
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

void tst_SystemClock::timeOfDayIsSecondsSinceMidnight() {
    SystemClock clock;
    const float before = QTime::currentTime().msecsSinceStartOfDay() / 1000.0f;
    const float now = clock.timeOfDay();
    const float after = QTime::currentTime().msecsSinceStartOfDay() / 1000.0f;
    QVERIFY(now >= 0.0f && now < 86400.0f);
    // Unless midnight fell in between, it lies between the two readings.
    if (after >= before)
        QVERIFY(now >= before && now <= after);
}

QTEST_GUILESS_MAIN(tst_SystemClock)
#include "tst_systemclock.moc"
