#include "platform/MicroDelay.h"

#include <QElapsedTimer>
#include <QtTest>

class tst_MicroDelay : public QObject {
    Q_OBJECT

private slots:
    void firesOnceAfterTheDelay_data();
    void firesOnceAfterTheDelay();
    void stopCancels();
    void startAgainPostpones();
};

void tst_MicroDelay::firesOnceAfterTheDelay_data() {
    QTest::addColumn<int>("microseconds");
    QTest::newRow("a quarter millisecond") << 250;
    QTest::newRow("one microsecond") << 1;
    QTest::newRow("three milliseconds") << 3000;
}

void tst_MicroDelay::firesOnceAfterTheDelay() {
    QFETCH(int, microseconds);
    MicroDelay delay;
    int fired = 0;
    qint64 afterNs = 0;
    QElapsedTimer clock;
    connect(&delay, &MicroDelay::timeout, this, [&] {
        ++fired;
        afterNs = clock.nsecsElapsed();
    });
    clock.start();
    delay.start(microseconds);
    QVERIFY(delay.isActive());
    QTRY_COMPARE(fired, 1);
    QVERIFY(!delay.isActive());
    QVERIFY(afterNs >= qint64(microseconds) * 1000);
    QTest::qWait(10);
    QCOMPARE(fired, 1);
}

void tst_MicroDelay::stopCancels() {
    MicroDelay delay;
    int fired = 0;
    connect(&delay, &MicroDelay::timeout, this, [&] { ++fired; });
    delay.start(2000);
    delay.stop();
    QVERIFY(!delay.isActive());
    QTest::qWait(20);
    QCOMPARE(fired, 0);
}

void tst_MicroDelay::startAgainPostpones() {
    MicroDelay delay;
    int fired = 0;
    connect(&delay, &MicroDelay::timeout, this, [&] { ++fired; });
    delay.start(1000);
    delay.start(200000);
    QTest::qWait(20);
    QCOMPARE(fired, 0);
    QTRY_COMPARE(fired, 1);
}

QTEST_MAIN(tst_MicroDelay)
#include "tst_microdelay.moc"
