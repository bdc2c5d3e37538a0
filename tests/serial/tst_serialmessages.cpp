#include "FrameHex.h"
#include "TesterFixture.h"
#include "serial/SerialMessages.h"

#include <QtTest>

namespace {

// "Hello port N." CR LF behind the header of port index N - 1.
QString greetingFrame(int port) {
    return QStringLiteral("ff 00 00 %1 48 65 6c 6c 6f 20 70 6f 72 74 20 %2 2e 0d 0a")
        .arg(port - 1, 2, 10, QLatin1Char('0'))
        .arg(0x30 + port, 2, 16);
}

struct Connected : ConnectedTester {
    SerialMessages &serial() { return tester->serialMessages(); }
    void tick(const QList<int> &ports) {
        for (int port : ports)
            form().chkBreakSerial[port - 1]->setChecked(true);
    }
};

using Ports = QList<int>;

} // namespace

class tst_SerialMessages : public QObject {
    Q_OBJECT

private slots:
    void greetingBytes();
    void sendSerial_data();
    void sendSerial();
    void sendBreak_data();
    void sendBreak();
    void breakSerialIgnoresBoxes_data();
    void breakSerialIgnoresBoxes();
    void notConnectedSendsNothing_data();
    void notConnectedSendsNothing();
    void mouseDownAnyButton_data();
    void mouseDownAnyButton();
    void keyboardActivation_data();
    void keyboardActivation();
};

void tst_SerialMessages::greetingBytes() {
    QCOMPARE(SerialMessages::Greeting(2), QByteArray::fromHex("48656c6c6f20706f727420332e0d0a"));
    QCOMPARE(greetingFrame(2),
             QStringLiteral("ff 00 00 01 48 65 6c 6c 6f 20 70 6f 72 74 20 32 2e 0d 0a"));
}

void tst_SerialMessages::sendSerial_data() {
    QTest::addColumn<Ports>("ports");
    QTest::newRow("all four") << Ports{1, 2, 3, 4};
    QTest::newRow("ports 2 and 4") << Ports{2, 4};
    QTest::newRow("port 1") << Ports{1};
    QTest::newRow("port 3") << Ports{3};
    QTest::newRow("none") << Ports{};
}

// One frame per ticked port, in port order; nothing is logged.
void tst_SerialMessages::sendSerial() {
    QFETCH(Ports, ports);
    Connected f;
    f.tick(ports);
    const QStringList log = f.log();
    f.serial().cmdSendSerial_MouseDown();
    QStringList expected;
    for (int port : ports)
        expected << greetingFrame(port);
    QCOMPARE(hexList(f.socket.sent), expected);
    QCOMPARE(f.log(), log);
}

void tst_SerialMessages::sendBreak_data() {
    QTest::addColumn<Ports>("ports");
    QTest::addColumn<QString>("frame");
    QTest::newRow("all four") << Ports{1, 2, 3, 4} << "ff 00 04 0f";
    QTest::newRow("ports 2 and 4") << Ports{2, 4} << "ff 00 04 0a";
    QTest::newRow("port 1") << Ports{1} << "ff 00 04 01";
    QTest::newRow("port 3") << Ports{3} << "ff 00 04 04";
    QTest::newRow("none") << Ports{} << "ff 00 04 00";
}

void tst_SerialMessages::sendBreak() {
    QFETCH(Ports, ports);
    QFETCH(QString, frame);
    Connected f;
    f.tick(ports);
    f.serial().cmdSendBreak_MouseDown();
    QCOMPARE(hexList(f.socket.sent), QStringList{frame});
}

void tst_SerialMessages::breakSerialIgnoresBoxes_data() {
    QTest::addColumn<Ports>("ports");
    QTest::newRow("none ticked") << Ports{};
    QTest::newRow("all ticked") << Ports{1, 2, 3, 4};
    QTest::newRow("port 3 ticked") << Ports{3};
}

void tst_SerialMessages::breakSerialIgnoresBoxes() {
    QFETCH(Ports, ports);
    Connected f;
    f.tick(ports);
    f.serial().cmdBreakSerial_Click();
    QCOMPARE(hexList(f.socket.sent),
             (QStringList{"ff 00 04 01", "ff 00 00 00 55 55 55 55 55 55 55 55"}));
}

void tst_SerialMessages::notConnectedSendsNothing_data() {
    QTest::addColumn<qint16>("state");
    QTest::newRow("closed") << qint16(DeviceSocket::Closed);
    QTest::newRow("connecting") << qint16(DeviceSocket::Connecting);
    QTest::newRow("peer closing") << qint16(DeviceSocket::Closing);
    QTest::newRow("error") << qint16(DeviceSocket::Error);
}

void tst_SerialMessages::notConnectedSendsNothing() {
    QFETCH(qint16, state);
    Connected f;
    f.tick({1, 2, 3, 4});
    f.socket.setState(state);
    const QStringList log = f.log();
    f.serial().cmdSendSerial_MouseDown();
    f.serial().cmdSendBreak_MouseDown();
    f.serial().cmdBreakSerial_Click();
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(f.log(), log);
}

void tst_SerialMessages::mouseDownAnyButton_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("left") << Qt::LeftButton;
    QTest::newRow("right") << Qt::RightButton;
    QTest::newRow("middle") << Qt::MiddleButton;
}

// The two MouseDown buttons act as the button goes down, whichever button it is; releasing
// it adds nothing. Break-Serial acts on a completed click only.
void tst_SerialMessages::mouseDownAnyButton() {
    QFETCH(Qt::MouseButton, button);
    Connected f;
    Form1 &w = f.form();
    f.tick({2});

    QTest::mousePress(w.cmdSendSerial, button);
    QCOMPARE(hexList(f.socket.sent), QStringList{greetingFrame(2)});
    QTest::mouseRelease(w.cmdSendSerial, button);
    QCOMPARE(f.socket.sent.size(), 1);

    f.socket.sent.clear();
    QTest::mousePress(w.cmdSendBreak, button);
    QCOMPARE(hexList(f.socket.sent), QStringList{"ff 00 04 02"});
    QTest::mouseRelease(w.cmdSendBreak, button);
    QCOMPARE(f.socket.sent.size(), 1);

    f.socket.sent.clear();
    QTest::mousePress(w.cmdBreakSerial, button);
    QVERIFY(f.socket.sent.isEmpty());
    QTest::mouseRelease(w.cmdBreakSerial, button);
    QCOMPARE(f.socket.sent.size(), button == Qt::LeftButton ? 2 : 0);
}

void tst_SerialMessages::keyboardActivation_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("frames");
    QTest::newRow("Send Serial Message") << "cmdSendSerial" << 0;
    QTest::newRow("Send Break") << "cmdSendBreak" << 0;
    QTest::newRow("Break-Serial") << "cmdBreakSerial" << 2;
}

void tst_SerialMessages::keyboardActivation() {
    QFETCH(QString, name);
    QFETCH(int, frames);
    Connected f;
    f.tick({1, 2, 3, 4});
    auto *button = f.form().findChild<QPushButton *>(name);
    QVERIFY(button);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
    QCOMPARE(f.socket.sent.size(), frames);
}

QTEST_MAIN(tst_SerialMessages)
#include "tst_serialmessages.moc"
