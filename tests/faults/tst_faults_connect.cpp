#include "LiveRig.h"
#include "LoopbackPorts.h"

#include <QElapsedTimer>

// Connections that fail to come about: refused, and a connect that nobody answers. Each must
// end in clear log lines and the red "Error" state with the disconnected layout, and a later
// Connect must work as if nothing had happened.
class tst_FaultsConnect : public QObject {
    Q_OBJECT

private slots:
    void refused();
    void unansweredConnectTimesOut();
};

namespace {

const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);

} // namespace

void tst_FaultsConnect::refused() {
    LiveRig rig;
    QVERIFY(rig.listening);
    rig.tick();
    const int mark = rig.logSize();
    rig.connectTo(QStringLiteral("127.0.0.1"), QString::number(closedPort()));
    QVERIFY(rig.waitForLastLog(QStringLiteral("Hint: Power Cycle Vorn")));
    QCOMPARE(rig.logSince(mark), (QStringList{"Connect", "Connection is forcefully rejected",
                                              "Hint: Power Cycle Vorn"}));
    rig.tick();
    QCOMPARE(rig.stateText(), QStringLiteral("Error"));
    QCOMPARE(rig.stateBackground(), Red);
    QCOMPARE(rig.stateTextColour(), QColor(Qt::black));
    QVERIFY(rig.isDisconnectedLayout());

    // Straight from the failed attempt, without Disconnect.
    QVERIFY(rig.connectToDevice());
    QVERIFY(rig.queryInWorks());
    QCOMPARE(rig.device.connectionCount(), 1);
}

// The real time-out: about 21 seconds, as operators of the device know it, not the system's
// two minutes. Only a lower bound that a slow machine cannot break, and a loose upper one.
void tst_FaultsConnect::unansweredConnectTimesOut() {
    FullListener listener;
    QVERIFY(listener.port() != 0);
    LiveRig rig;
    rig.tick();
    const int mark = rig.logSize();
    QElapsedTimer elapsed;
    elapsed.start();
    rig.connectTo(QStringLiteral("127.0.0.1"), QString::number(listener.port()));
    rig.tick();
    if (rig.stateText().startsWith(QLatin1String("Connected")))
        QSKIP("this system answered a connect to a full listener");
    QCOMPARE(rig.stateText(), QStringLiteral("Connecting"));
    QCOMPARE(rig.stateBackground(), Yellow);

    QVERIFY(QTest::qWaitFor(
        [&] { return rig.lastLog() == QLatin1String("Hint: Can't find Vorn, check IP address"); },
        90000));
    const qint64 ms = elapsed.elapsed();
    QVERIFY2(ms >= 19000 && ms < 90000, qPrintable(QString::number(ms)));
    QCOMPARE(rig.logSince(mark), (QStringList{"Connect", "Connection timed out",
                                              "Hint: Can't find Vorn, check IP address"}));
    rig.tick();
    QCOMPARE(rig.stateText(), QStringLiteral("Error"));
    QCOMPARE(rig.stateBackground(), Red);
    QVERIFY(rig.isDisconnectedLayout());

    QVERIFY(rig.disconnectFromDevice());
    QVERIFY(rig.connectToDevice());
    QVERIFY(rig.queryInWorks());
}

QTEST_MAIN(tst_FaultsConnect)
#include "tst_faults_connect.moc"
