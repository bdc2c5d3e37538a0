#include "FaultRig.h"
#include "LoopbackPorts.h"
#include "TesterFixture.h"

#include <QElapsedTimer>

// Connections that fail to come about: refused, a name that does not resolve, and a connect
// that nobody answers. Each must end in clear log lines and the red "Error" state with the
// disconnected layout, and a later Connect must work as if nothing had happened.
class tst_FaultsConnect : public QObject {
    Q_OBJECT

private slots:
    void refused();
    void unresolvableName();
    void unansweredConnectTimesOut();
};

namespace {

const QColor Red(255, 0, 0);
const QColor Yellow(255, 255, 0);
const QColor White(255, 255, 255);

} // namespace

void tst_FaultsConnect::refused() {
    FaultRig rig;
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

// Name lookups never leave the machine in tests: the fake socket stands in for the real one
// and reports the lookup failure the way the real socket words it.
void tst_FaultsConnect::unresolvableName() {
    TesterFixture f;
    Form1 &form = f.form();
    f.tester->linkStatus().Timer1_Timer();
    const int mark = form.ListBox->count();
    form.Vorn_Address->setEditText(QStringLiteral("vorn-test.invalid"));
    QTest::mouseClick(form.Connect, Qt::LeftButton);
    QCOMPARE(f.socket.connects.size(), 1);
    QCOMPARE(f.socket.connects[0].host, QStringLiteral("vorn-test.invalid"));
    QCOMPARE(f.socket.connects[0].port, QStringLiteral("23"));

    f.socket.setState(DeviceSocket::ResolvingHost);
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(form.Vorn_State->text(), QStringLiteral("Resolving Host"));
    QCOMPARE(form.Vorn_State->palette().color(QPalette::Base), Yellow);

    f.socket.setState(DeviceSocket::Error);
    f.socket.raiseError(11001, QStringLiteral("Host not found: \"vorn-test.invalid\""));
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(f.log().mid(mark),
             (QStringList{"Connect", "Host not found: \"vorn-test.invalid\"", "11001"}));
    QCOMPARE(form.Vorn_State->text(), QStringLiteral("Error"));
    QCOMPARE(form.Vorn_State->palette().color(QPalette::Base), Red);
    QVERIFY(form.Connect->isEnabled() && !form.GPI_Query_Inputs->isEnabled());

    // Disconnect, then a good address: connected, and Query In goes out and its answer shows.
    QTest::mouseClick(form.Disconnect, Qt::LeftButton);
    QCOMPARE(f.socket.closes, 1);
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(form.Vorn_State->text(), QStringLiteral("Closed"));
    QCOMPARE(form.Vorn_State->palette().color(QPalette::Base), White);
    form.Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
    QTest::mouseClick(form.Connect, Qt::LeftButton);
    QCOMPARE(f.socket.connects.size(), 2);
    f.connectNow();
    QVERIFY(form.GPI_Query_Inputs->isEnabled() && !form.Connect->isEnabled());
    f.socket.sent.clear();
    QTest::mouseClick(form.GPI_Query_Inputs, Qt::LeftButton);
    QCOMPARE(f.socket.sent, (QList<QByteArray>{QByteArray::fromHex("ff0001")}));
    f.clock.advance(0.01);
    f.socket.arrive(QByteArray::fromHex("ff000004feffff"));
    QVERIFY(f.log().constLast().endsWith(QLatin1String(" GPI Input")));
    QVERIFY(form.GPI_In[0]->isChecked() && !form.GPI_In[1]->isChecked());
}

// The real time-out: about 21 seconds, as operators of the device know it, not the system's
// two minutes. Only a lower bound that a slow machine cannot break, and a loose upper one.
void tst_FaultsConnect::unansweredConnectTimesOut() {
    FullListener listener;
    QVERIFY(listener.port() != 0);
    FaultRig rig;
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
