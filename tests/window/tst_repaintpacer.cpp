#include "TesterFixture.h"
#include "window/RepaintPacer.h"

#include <QtTest>

namespace {

// A child that counts its paints and remembers the value it last showed.
class Gauge : public QWidget {
public:
    using QWidget::QWidget;

    void show(int v) {
        value = v;
        update();
    }

    int value = 0;
    int shown = -1;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent *) override {
        ++paints;
        shown = value;
    }
};

struct PacedWindow {
    explicit PacedWindow(int intervalMs, int latestMs = 0)
        : gauge(&window), pacer(&window, intervalMs, latestMs) {
        window.resize(100, 100);
        gauge.setGeometry(10, 10, 50, 50);
    }
    bool exposed() {
        window.show();
        return QTest::qWaitForWindowExposed(&window);
    }
    // One change and one turn of the event loop, as one device message brings.
    void change(int value) {
        gauge.show(value);
        QCoreApplication::sendPostedEvents();
    }

    QWidget window;
    Gauge gauge;
    RepaintPacer pacer;
};

} // namespace

class tst_RepaintPacer : public QObject {
    Q_OBJECT

private slots:
    void holdsRepaintsWithinTheInterval();
    void paintsTheLatestStateOnceHeld();
    void paintsAtOnceAfterAQuietInterval();
    void paintsHeldChangesWhenIdleAfterTheInterval();
    void testerWindowIsPaced();
};

void tst_RepaintPacer::holdsRepaintsWithinTheInterval() {
    PacedWindow w(60000);
    QVERIFY(w.exposed());
    // Whether this one is painted or held, an interval of a minute runs from here on.
    w.change(1);
    const int paints = w.gauge.paints;
    const int shown = w.gauge.shown;
    for (int value = 2; value <= 50; ++value)
        w.change(value);
    // Fifty changes, and not one more paint until the interval is over.
    QCOMPARE(w.gauge.paints, paints);
    QCOMPARE(w.gauge.shown, shown);
    QVERIFY(w.pacer.isHolding());
}

void tst_RepaintPacer::paintsTheLatestStateOnceHeld() {
    // Nothing else happens here, so the changes wait for the latest moment.
    PacedWindow w(100);
    QVERIFY(w.exposed());
    w.change(1);
    const int paints = w.gauge.paints;
    for (int value = 2; value <= 50; ++value)
        w.change(value);
    QTRY_COMPARE(w.gauge.shown, 50);
    QVERIFY(!w.pacer.isHolding());
    // However slow the machine, far fewer paints than changes, and the last one is kept.
    QVERIFY(w.gauge.paints - paints < 25);
    QTest::qWait(250);
    QCOMPARE(w.gauge.shown, 50);
}

// After a quiet interval a change is painted as soon as the event loop has nothing else to do,
// after a fraction of a millisecond asleep.
void tst_RepaintPacer::paintsAtOnceAfterAQuietInterval() {
    PacedWindow w(10, 60000);
    QVERIFY(w.exposed());
    for (int value = 1; value <= 3; ++value) {
        QTest::qWait(30);
        const int paints = w.gauge.paints;
        w.change(value);
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(w.gauge.paints, paints + 1);
        QCOMPARE(w.gauge.shown, value);
    }
}

// Held changes are painted right after the next event handled once the interval is over, not
// at a moment of their own that might fall just before the next message or tick.
void tst_RepaintPacer::paintsHeldChangesWhenIdleAfterTheInterval() {
    PacedWindow w(20, 60000);
    QVERIFY(w.exposed());
    w.change(1);
    const int paints = w.gauge.paints;
    w.change(2);
    w.change(3);
    QVERIFY(w.pacer.isHolding());
    QEventLoop loop;
    // Some event after the interval; when it has been handled the loop waits again. The
    // latest moment is a minute away, so only that wait can have brought the repaint.
    QTimer::singleShot(40, &loop, [] {});
    QTimer::singleShot(80, &loop, &QEventLoop::quit);
    loop.exec();
    QCOMPARE(w.gauge.shown, 3);
    QCOMPARE(w.gauge.paints, paints + 1);
    QVERIFY(!w.pacer.isHolding());
}

void tst_RepaintPacer::testerWindowIsPaced() {
    TesterFixture f;
    QVERIFY(f.form().findChild<RepaintPacer *>());
}

QTEST_MAIN(tst_RepaintPacer)
#include "tst_repaintpacer.moc"
