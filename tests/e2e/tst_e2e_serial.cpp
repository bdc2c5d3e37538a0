#include "LiveRig.h"
#include "serial/SerialMessages.h"

// The serial port actions, with the device looping serial data back. Which boxes give which
// frames and breaks is checked against the fake socket in the serial message tests, Blast in
// its own and the fault tests.
class tst_E2eSerial : public QObject {
    Q_OBJECT

private slots:
    void greetingsOnAllPorts();
    void breakSerial();
};

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

// Break-Serial breaks port 1 and sends it eight U, whatever the boxes say.
void tst_E2eSerial::breakSerial() {
    LiveRig t;
    t.device.setSerialLoopback(true);
    QVERIFY(t.connectToDevice());
    t.clickBox(t.form().chkBreakSerial[2]);
    t.click(t.form().cmdBreakSerial);
    QVERIFY(t.waitForReceivedAtLeast(2));
    QCOMPARE(t.receivedHex(), (QStringList{"ff 00 04 01", "ff 00 00 00 55 55 55 55 55 55 55 55"}));
    QVERIFY(t.waitForLogEnding(QStringLiteral(" Serial Port 1 Input")));
    QCOMPARE(t.device.serialBreaks(0), 1);
}

QTEST_MAIN(tst_E2eSerial)
#include "tst_e2e_serial.moc"
