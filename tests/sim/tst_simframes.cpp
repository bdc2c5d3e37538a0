#include "DeviceFrames.h"
#include "SimFrame.h"

#include <QtTest>

using namespace sim;

class tst_SimFrames : public QObject {
    Q_OBJECT

private slots:
    void gpiBits_data();
    void gpiBits();
    void deviceFrameMeaning_data();
    void deviceFrameMeaning();
    void portMask_data();
    void portMask();
    void hexAndText();
};

void tst_SimFrames::gpiBits_data() {
    QTest::addColumn<uint>("bits");
    QTest::addColumn<QString>("text");
    QTest::newRow("all off") << 0xFFFFFFu << "all off";
    QTest::newRow("all on") << 0u << "all on";
    QTest::newRow("GPI 6") << 0xFFFFDFu << "on 6";
    QTest::newRow("index 12 is GPI 13") << 0xFFEFFFu << "on 13";
    QTest::newRow("runs") << (0xFFFFFFu & ~0x7u & ~(1u << 11) & ~(1u << 23)) << "on 1-3, 12, 24";
    QTest::newRow("first eight") << 0xFFFF00u << "on 1-8";
}

void tst_SimFrames::gpiBits() {
    QFETCH(uint, bits);
    QFETCH(QString, text);
    QCOMPARE(describeGpiBits(bits), text);
    // The state bytes round-trip through a message.
    QCOMPARE(gpiBitsAt(gpiInputMessage(bits)), bits);
}

void tst_SimFrames::deviceFrameMeaning_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("meaning");
    const auto row = [](const char *name, const char *hex, const char *meaning) {
        QTest::newRow(name) << QByteArray::fromHex(hex) << QString::fromLatin1(meaning);
    };
    row("input", "ff000004feffff", "GPI input message, on 1");
    row("input with extra bytes", "ff000004feffff0102", "GPI input message, on 1 + 2 more bytes");
    row("output status", "ff000006ffffff", "GPI output status message, all off");
    row("ID", "ff0000050703", "ID response, firmware v3.07");
    row("serial", "ff0000024142", "serial input, port 3, 2 bytes \"AB\"");
    row("short input", "ff000004fe", "short GPI input message (5 bytes, needs 7)");
    row("short ID", "ff00000505", "short ID response (5 bytes, needs 6)");
    // The simulator's own reading of where the tester gives up on a frame.
    row("empty", "", "not a message: the tester rejects it at byte 1");
    row("garbage", "deadbeef", "not a message: the tester rejects it at byte 1");
    row("FF 01", "ff01", "not a message: the tester rejects it at byte 2");
    row("request code", "ff0002", "not a message: the tester rejects it at byte 3");
    row("three bytes", "ff0000", "not a message: the tester rejects it at byte 4");
    row("type 07", "ff000007", "not a message: the tester rejects it at byte 4");
}

void tst_SimFrames::deviceFrameMeaning() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, meaning);
    QCOMPARE(describeDeviceFrame(frame), meaning);
}

void tst_SimFrames::portMask_data() {
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << 0x00 << "no port";
    QTest::newRow("port 1") << 0x01 << "port 1";
    QTest::newRow("ports 2 and 4") << 0x0A << "ports 2, 4";
    QTest::newRow("all four") << 0x0F << "ports 1 to 4";
    QTest::newRow("high bits") << 0x11 << "port 1 (mask bits 4-7 set, which are no ports)";
}

void tst_SimFrames::portMask() {
    QFETCH(int, mask);
    QFETCH(QString, text);
    QCOMPARE(describePortMask(quint8(mask)), text);
}

void tst_SimFrames::hexAndText() {
    QCOMPARE(hexBytes(QByteArray::fromHex("ff0001")), QStringLiteral("FF 00 01"));
    QCOMPARE(hexBytes(QByteArray(30, '\x55'), 2), QStringLiteral("55 55 ... (+28 bytes)"));
    QCOMPARE(printableText("Hello port 1.\r\n"), QStringLiteral("\"Hello port 1.\\r\\n\""));
    QCOMPARE(printableText(QByteArray::fromHex("00ff225c")),
             QStringLiteral("\"\\x00\\xFF\\\"\\\\\""));
    QCOMPARE(printableText(QByteArray(100, 'U'), 4), QStringLiteral("\"UUUU...\""));
}

QTEST_GUILESS_MAIN(tst_SimFrames)
#include "tst_simframes.moc"
