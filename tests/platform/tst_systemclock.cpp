#include "platform/SystemClock.h"
#include "window/Stamps.h"

#include <QElapsedTimer>
#include <QtTest>

class tst_SystemClock : public QObject {
    Q_OBJECT

private slots:
    void counterRunsAtItsFrequency();
};

void tst_SystemClock::counterRunsAtItsFrequency() {
    // The start-up line reports the frequency given here; it must be the counter's own, so
    // that ticks over frequency are seconds by the reference clock.
    SystemClock clock;
    CounterHalves buffer;
    clock.queryPerformanceFrequency(buffer);
    const double frequency = CounterAsDouble(buffer.low, buffer.high);
    QVERIFY(frequency >= 1e6);

    QElapsedTimer reference;
    reference.start();
    clock.queryPerformanceCounter(buffer);
    const double first = CounterAsDouble(buffer.low, buffer.high);
    QTest::qWait(20);
    clock.queryPerformanceCounter(buffer);
    const double second = CounterAsDouble(buffer.low, buffer.high);
    const qint64 referenceNs = reference.nsecsElapsed();
    QVERIFY((second - first) / frequency >= 0.020);
    QVERIFY((second - first) / frequency <= referenceNs / 1e9);
}

QTEST_GUILESS_MAIN(tst_SystemClock)
#include "tst_systemclock.moc"
