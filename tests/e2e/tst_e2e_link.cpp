#include "LiveRig.h"

// Connecting and disconnecting over the real socket, and a device that closes as soon as it
// has accepted. Refusals, closes and resets are driven in the fault tests; the device's
// listening and turning away a second tester in its own tests.
class tst_E2eLink : public QObject {
    Q_OBJECT

private slots:
    void connectAndDisconnect();
    void closeOnConnect();
};

void tst_E2eLink::connectAndDisconnect() {
    LiveRig t;
    QVERIFY(t.listening);
    // The first link tick applies the disconnected layout.
    QTRY_VERIFY_WITH_TIMEOUT(!t.form().GPI_Query_Inputs->isEnabled(), LiveRig::Patience);
    QVERIFY(t.connectToDevice());
    QCOMPARE(t.form().Vorn_State->text(), QStringLiteral("Connected %1").arg(t.socket.localPort()));
    QVERIFY(!t.form().Connect->isEnabled());
    QCOMPARE(t.device.connectionCount(), 1);
    QVERIFY(t.log().contains(QStringLiteral("Connect")));

    t.disconnect();
    QTRY_VERIFY_WITH_TIMEOUT(!t.device.hasConnection(), LiveRig::Patience);
    QTRY_COMPARE_WITH_TIMEOUT(t.form().Vorn_State->text(), QStringLiteral("Closed"),
                              LiveRig::Patience);
    QTRY_VERIFY_WITH_TIMEOUT(t.form().Connect->isEnabled(), LiveRig::Patience);
    QCOMPARE(t.lastLog(), QStringLiteral("Disconnect"));
    // Nothing went to the device on the way.
    QVERIFY(t.device.received().isEmpty());

    // And again: the device serves the next connection.
    QVERIFY(t.connectToDevice());
    QCOMPARE(t.device.connectionCount(), 2);
}

void tst_E2eLink::closeOnConnect() {
    LiveRig t;
    connect(&t.device, &sim::SimulatedDevice::connected, &t.device,
            [&] { t.device.closeConnection(); });
    t.connectTo(QStringLiteral("127.0.0.1"), QString::number(t.devicePort()));
    QTRY_COMPARE_WITH_TIMEOUT(t.form().Vorn_State->text(),
                              QStringLiteral("Peer is closing connection"), LiveRig::Patience);
    QCOMPARE(t.device.connectionCount(), 1);
}

QTEST_MAIN(tst_E2eLink)
#include "tst_e2e_link.moc"
