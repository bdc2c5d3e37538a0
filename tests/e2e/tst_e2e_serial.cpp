#include "LiveRig.h"
#include "gpi/BlastTest.h"
#include "serial/SerialMessages.h"

// The serial port actions and Blast, with the device looping serial data back.
class tst_E2eSerial : public QObject {
    Q_OBJECT

private slots:
    void greetingsOnAllPorts();
    void breakSerial();
    void blast();
};

// All four greetings reach their ports, and the loop brings them back as serial input.
// Which boxes give which frames and breaks is checked against the fake socket in the serial
// message tests.
void tst_E2eSerial::greetingsOnAllPorts() {
    LiveRig t;
    t.device.setSerialLoopback(true);
    QVERIFY(t.connectToDevice());
    for (CheckBox *box : t.form().chkBreakSerial)
        t.clickBox(box);
    t.press(t.form().cmdSendSerial);
    QVERIFY(t.waitForReceivedAtLeast(4));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(t.device.received().at(i).bytes,
                 QByteArray::fromHex("ff0000") + char(i) + SerialMessages::Greeting(i));
        QCOMPARE(t.device.serialBytesOut(i), 15);
    }
    // Four frames of one handler may share a read; the device still tells them apart.
    QCOMPARE(t.device.stats().framesReceived.value(QStringLiteral("serial output")), 4);
    // The tester reads the first frame of an arrival only, so not every echo need show; the
    // first, port 1's, always does.
    QVERIFY(t.waitForLogEnding(QStringLiteral(" Serial Port 1 Input")));
}

void tst_E2eSerial::breakSerial() {
    LiveRig t;
    t.device.setSerialLoopback(true);
    QVERIFY(t.connectToDevice());
    t.clickBox(t.form().chkBreakSerial[2]); // not read by Break-Serial
    t.click(t.form().cmdBreakSerial);
    QVERIFY(t.waitForReceivedAtLeast(2));
    QCOMPARE(t.receivedHex(), (QStringList{"ff 00 04 01", "ff 00 00 00 55 55 55 55 55 55 55 55"}));
    QVERIFY(t.waitForLogEnding(QStringLiteral(" Serial Port 1 Input")));
    QCOMPARE(t.device.serialBreaks(0), 1);
}

void tst_E2eSerial::blast() {
    LiveRig t;
    t.device.setSerialLoopback(true);
    QVERIFY(t.connectToDevice());
    t.form().BlastCount->setText(QStringLiteral("300"));
    t.serial.buffer = QByteArray(296, 'x'); // what the PC's port got from device port 1
    // Blast is created hidden and disabled; its handlers run as a press and release would.
    t.tester->blast().Blast_MouseDown();
    t.tester->blast().Blast_MouseUp();
    QVERIFY(t.waitForReceivedAtLeast(1));
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
