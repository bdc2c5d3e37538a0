#include "LiveTester.h"

// Connecting, disconnecting, and what only the real socket shows of a device that stops
// listening, closes at once or serves another tester. Refusals, closes and resets from the
// device are driven in the fault tests.
class tst_E2eLink : public QObject {
    Q_OBJECT

private slots:
    void connectAndDisconnect();
    void stoppedListening();
    void closeOnConnect();
    void secondTesterIsTurnedAway();
};

void tst_E2eLink::connectAndDisconnect() {
    LiveTester t;
    QVERIFY(t.listening);
    // The first link tick applies the disconnected layout.
    QTRY_VERIFY_WITH_TIMEOUT(!t.form().GPI_Query_Inputs->isEnabled(), LiveTester::Patience);
    QVERIFY(t.connectToDevice());
    QCOMPARE(t.form().Vorn_State->text(), QStringLiteral("Connected %1").arg(t.socket.localPort()));
    QVERIFY(!t.form().Connect->isEnabled());
    QCOMPARE(t.device.connectionCount(), 1);
    QVERIFY(t.log().contains(QStringLiteral("Connect")));

    t.clickDisconnect();
    QTRY_VERIFY_WITH_TIMEOUT(!t.device.hasConnection(), LiveTester::Patience);
    QTRY_COMPARE_WITH_TIMEOUT(t.form().Vorn_State->text(), QStringLiteral("Closed"),
                              LiveTester::Patience);
    QTRY_VERIFY_WITH_TIMEOUT(t.form().Connect->isEnabled(), LiveTester::Patience);
    QCOMPARE(t.lastLog(), QStringLiteral("Disconnect"));
    // Nothing went to the device on the way.
    QVERIFY(t.device.received().isEmpty());

    // And again: the device serves the next connection.
    QVERIFY(t.connectToDevice());
    QCOMPARE(t.device.connectionCount(), 2);
}

void tst_E2eLink::stoppedListening() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    t.device.stopListening();
    // The served connection goes on.
    QVERIFY(t.roundTrip());
    t.clickDisconnect();
    QTRY_COMPARE_WITH_TIMEOUT(t.form().Vorn_State->text(), QStringLiteral("Closed"),
                              LiveTester::Patience);
    t.clickConnect(t.device.serverPort());
    QVERIFY(t.waitForLogEnding(QStringLiteral("Hint: Power Cycle Vorn")));

    QVERIFY(t.device.resumeListening());
    t.clickDisconnect();
    QVERIFY(t.connectToDevice());
    QVERIFY(t.roundTrip());
}

void tst_E2eLink::secondTesterIsTurnedAway() {
    LiveTester first;
    QVERIFY(first.connectToDevice());
    // A second tester in the same program, pointed at the same device.
    SystemClock clock;
    TcpDeviceSocket socket;
    FakeSerialPort serial;
    Tester second(socket, clock, serial);
    second.form().show();
    QTRY_COMPARE_WITH_TIMEOUT(second.form().Vorn_State->text(), QStringLiteral("Closed"),
                              LiveTester::Patience);
    second.form().Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
    second.form().Vorn_Port->setText(QString::number(first.device.serverPort()));
    QTest::mouseClick(second.form().Connect, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(second.form().Vorn_State->text(),
                              QStringLiteral("Peer is closing connection"), LiveTester::Patience);
    QCOMPARE(first.device.stats().refused, 1);
    QVERIFY(first.roundTrip());
}

void tst_E2eLink::closeOnConnect() {
    LiveTester t;
    connect(&t.device, &sim::SimulatedDevice::connected, &t.device,
            [&] { t.device.closeConnection(); });
    t.clickConnect(t.device.serverPort());
    QTRY_COMPARE_WITH_TIMEOUT(t.form().Vorn_State->text(),
                              QStringLiteral("Peer is closing connection"), LiveTester::Patience);
    QCOMPARE(t.device.connectionCount(), 1);
}

QTEST_MAIN(tst_E2eLink)
#include "tst_e2e_link.moc"
