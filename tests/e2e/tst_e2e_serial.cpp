#include "LiveTester.h"
#include "gpi/BlastTest.h"
#include "serial/SerialMessages.h"

// The serial port actions and Blast, with the device looping serial data back.
class tst_E2eSerial : public QObject {
    Q_OBJECT

private slots:
    void greetingComesBackOnItsPort_data();
    void greetingComesBackOnItsPort();
    void greetingsOnAllPorts();
    void breaks();
    void breakSerial();
    void blast();
};

void tst_E2eSerial::greetingComesBackOnItsPort_data() {
    QTest::addColumn<int>("port");
    for (int i = 0; i < 4; ++i)
        QTest::addRow("port %d", i + 1) << i;
}

void tst_E2eSerial::greetingComesBackOnItsPort() {
    QFETCH(int, port);
    LiveTester t;
    t.device.setSerialLoopback(true);
    QVERIFY(t.connectToDevice());
    t.clickBox(t.form().chkBreakSerial[port]);
    t.press(t.form().cmdSendSerial);
    const QString name = QStringLiteral("Serial Port %1 Input").arg(port + 1);
    QVERIFY(t.waitForLogEnding(u' ' + name));
    QCOMPARE(t.form().StatusBar->currentMessage(), QStringLiteral("Received %1 message").arg(name));
    QCOMPARE(t.device.received().size(), 1);
    QCOMPARE(t.device.received().front().bytes,
             QByteArray::fromHex("ff0000") + char(port) + SerialMessages::Greeting(port));
    QCOMPARE(t.device.serialBytesOut(port), 15);
}

void tst_E2eSerial::greetingsOnAllPorts() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    for (CheckBox *box : t.form().chkBreakSerial)
        t.clickBox(box);
    t.press(t.form().cmdSendSerial);
    QVERIFY(t.waitForReceived(4));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(t.device.received().at(i).bytes,
                 QByteArray::fromHex("ff0000") + char(i) + SerialMessages::Greeting(i));
        QCOMPARE(t.device.serialBytesOut(i), 15);
    }
    // Four frames of one handler may share a read; the device still tells them apart.
    QCOMPARE(t.device.stats().framesReceived.value(QStringLiteral("serial output")), 4);
}

void tst_E2eSerial::breaks() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    t.press(t.form().cmdSendBreak);
    t.clickBox(t.form().chkBreakSerial[1]);
    t.clickBox(t.form().chkBreakSerial[3]);
    t.press(t.form().cmdSendBreak);
    QVERIFY(t.waitForReceived(2));
    QCOMPARE(t.receivedHex(), (QStringList{"ff 00 04 00", "ff 00 04 0a"}));
    QCOMPARE(t.device.serialBreaks(0), 0);
    QCOMPARE(t.device.serialBreaks(1), 1);
    QCOMPARE(t.device.serialBreaks(3), 1);
}

void tst_E2eSerial::breakSerial() {
    LiveTester t;
    t.device.setSerialLoopback(true);
    QVERIFY(t.connectToDevice());
    t.clickBox(t.form().chkBreakSerial[2]); // not read by Break-Serial
    t.click(t.form().cmdBreakSerial);
    QVERIFY(t.waitForReceived(2));
    QCOMPARE(t.receivedHex(), (QStringList{"ff 00 04 01", "ff 00 00 00 55 55 55 55 55 55 55 55"}));
    QVERIFY(t.waitForLogEnding(QStringLiteral(" Serial Port 1 Input")));
    QCOMPARE(t.device.serialBreaks(0), 1);
}

void tst_E2eSerial::blast() {
    LiveTester t;
    t.device.setSerialLoopback(true);
    QVERIFY(t.connectToDevice());
    t.form().BlastCount->setText(QStringLiteral("300"));
    t.serial.buffer = QByteArray(296, 'x'); // what the PC's port got from device port 1
    // Blast is created hidden and disabled; its handlers run as a press and release would.
    t.tester->blast().Blast_MouseDown();
    t.tester->blast().Blast_MouseUp();
    QVERIFY(t.waitForReceived(1));
    const QByteArray frame = t.device.received().front().bytes;
    QCOMPARE(frame.size(), 300);
    QVERIFY(frame.startsWith(QByteArray::fromHex("ff000000")));
    QVERIFY(frame.endsWith('U'));
    QVERIFY(!frame.mid(4).contains('\xFF'));
    QCOMPARE(t.device.serialBytesOut(0), 296);
    QVERIFY(t.log().contains(QStringLiteral("Serial transmit = 300")));
    QVERIFY(t.log().contains(QStringLiteral("Serial buffer =   296")));
    QVERIFY(t.log().contains(QStringLiteral("Serial receive =  296 + header = 300")));
    QVERIFY(t.waitForLogEnding(QStringLiteral(" Serial Port 1 Input")));
}

QTEST_MAIN(tst_E2eSerial)
#include "tst_e2e_serial.moc"
