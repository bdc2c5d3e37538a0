#include "protocol/Frames.h"

#include <QtTest>

class tst_Frames : public QObject {
    Q_OBJECT

private slots:
    void builders_data();
    void builders();
    void classify_data();
    void classify();
    void gpiState_data();
    void gpiState();
    void firmwareVersion_data();
    void firmwareVersion();
};

void tst_Frames::builders_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");

    // The requests, set-outputs and serial frames the buttons send are checked byte for byte
    // in the handlers' tests; these are the edge cases.
    QTest::newRow("SerialOutput empty")
        << MakeSerialOutputMessage(3, {}) << QByteArray::fromHex("ff000003");
    QTest::newRow("SerialOutput keeps NUL and FF")
        << MakeSerialOutputMessage(0, QByteArray::fromHex("00ff55"))
        << QByteArray::fromHex("ff00000000ff55");
}

void tst_Frames::builders() {
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(frame.toHex(' '), expected.toHex(' '));
}

void tst_Frames::classify_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("failedByte");
    QTest::addColumn<int>("type");

    // Every length from 0 to 7 along a valid GPI input message.
    const QByteArray gpi = QByteArray::fromHex("ff000004feffff");
    const int failAt[] = {1, 2, 3, 4};
    for (int length = 0; length <= 7; ++length)
        QTest::addRow("GPI message cut to %d", length)
            << gpi.left(length) << (length < 4 ? failAt[length] : 0) << (length < 4 ? -1 : 4);

    QTest::newRow("byte 1 not FF") << QByteArray::fromHex("fe000004") << 1 << -1;
    QTest::newRow("byte 1 zero") << QByteArray::fromHex("00") << 1 << -1;
    // Rejected at byte 2 whatever follows; byte 3 is never reached.
    QTest::newRow("FF 01") << QByteArray::fromHex("ff01") << 2 << -1;
    QTest::newRow("FF 01 00 04") << QByteArray::fromHex("ff010004") << 2 << -1;
    QTest::newRow("request code from device") << QByteArray::fromHex("ff0002") << 3 << -1;
    QTest::newRow("FF 00 01") << QByteArray::fromHex("ff0001") << 3 << -1;
    QTest::newRow("FF 00 05 then type") << QByteArray::fromHex("ff000504") << 3 << -1;
    QTest::newRow("type 07") << QByteArray::fromHex("ff000007") << 4 << -1;
    QTest::newRow("type FF") << QByteArray::fromHex("ff0000ff010203") << 4 << -1;
    for (int type = 0; type <= 6; ++type)
        QTest::addRow("type %02d", type)
            << (QByteArray::fromHex("ff0000") + char(type)) << 0 << type;
    QTest::newRow("two frames in one")
        << QByteArray::fromHex("ff000004feffffff0000050502") << 0 << 4;
}

void tst_Frames::classify() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, failedByte);
    QFETCH(int, type);
    const FrameClass result = ClassifyFrame(bytes);
    QCOMPARE(result.failedByte, failedByte);
    QCOMPARE(result.isMessage(), failedByte == 0);
    if (type >= 0)
        QCOMPARE(int(result.messageType), type);
    QCOMPARE(result.bytes, bytes);
}

void tst_Frames::gpiState_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<quint32>("state");

    QTest::newRow("all off") << QByteArray::fromHex("ff000004ffffff") << true << 0xffffffu;
    QTest::newRow("all on") << QByteArray::fromHex("ff000004000000") << true << 0u;
    QTest::newRow("lowest index first")
        << QByteArray::fromHex("ff000006123456") << true << 0x563412u;
    QTest::newRow("trailing bytes ignored")
        << QByteArray::fromHex("ff000004feffff99") << true << 0xfffffeu;
    QTest::newRow("six bytes") << QByteArray::fromHex("ff000004ffff") << false << 0u;
    QTest::newRow("header only") << QByteArray::fromHex("ff000004") << false << 0u;
}

void tst_Frames::gpiState() {
    QFETCH(QByteArray, frame);
    QFETCH(bool, readable);
    QFETCH(quint32, state);
    const std::optional<quint32> read = ReadGpiState(frame);
    QCOMPARE(read.has_value(), readable);
    if (readable)
        QCOMPARE(*read, state);
}

void tst_Frames::firmwareVersion_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("version");

    QTest::newRow("2.05") << QByteArray::fromHex("ff0000050502") << "2.05";
    QTest::newRow("3.07") << QByteArray::fromHex("ff0000050703") << "3.07";
    QTest::newRow("two-digit minor") << QByteArray::fromHex("ff0000051001") << "1.16";
    QTest::newRow("largest bytes") << QByteArray::fromHex("ff000005ffff") << "255.255";
    QTest::newRow("zeros") << QByteArray::fromHex("ff0000050000") << "0.00";
    QTest::newRow("bytes after 6 ignored") << QByteArray::fromHex("ff000005050209") << "2.05";
    QTest::newRow("five bytes") << QByteArray::fromHex("ff00000505") << QString();
    QTest::newRow("header only") << QByteArray::fromHex("ff000005") << QString();
}

void tst_Frames::firmwareVersion() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, version);
    const std::optional<QString> read = ReadFirmwareVersion(frame);
    QCOMPARE(read.has_value(), !version.isNull());
    if (read)
        QCOMPARE(*read, version);
}

QTEST_APPLESS_MAIN(tst_Frames)
#include "tst_frames.moc"
