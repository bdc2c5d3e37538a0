#include "FrameStreamParser.h"

#include <QtTest>

using sim::FrameStreamParser;
using sim::ReceivedFrame;
using sim::ReceivedKind;

Q_DECLARE_METATYPE(ReceivedKind)

namespace {

// "kind:hex" per frame; serial output adds the port and "+" when it continues a message,
// and a fixed frame gathered from several reads adds "/reads".
QString describe(const ReceivedFrame &frame) {
    static const char *const names[] = {"in?", "fw?", "out?", "break", "set", "serial", "unknown"};
    QString text = QString::fromLatin1(names[int(frame.kind)]) + u':' +
                   QString::fromLatin1(frame.bytes.toHex());
    if (frame.kind == ReceivedKind::SerialOutput)
        text += QStringLiteral("@%1%2").arg(frame.port).arg(frame.continued ? "+" : "");
    if (frame.reads > 1)
        text += QStringLiteral("/%1").arg(frame.reads);
    return text;
}

} // namespace

class tst_FrameStreamParser : public QObject {
    Q_OBJECT

private slots:
    void stream_data();
    void stream();
    void heldBytesAreBounded();
    void incompleteFrameAtClose();
};

void tst_FrameStreamParser::stream_data() {
    QTest::addColumn<QStringList>("reads");
    QTest::addColumn<QStringList>("frames");

    QTest::newRow("input status request") << QStringList{"ff0001"} << QStringList{"in?:ff0001"};
    QTest::newRow("firmware request") << QStringList{"ff0002"} << QStringList{"fw?:ff0002"};
    QTest::newRow("output status request") << QStringList{"ff0005"} << QStringList{"out?:ff0005"};
    QTest::newRow("break, ports 2 and 4")
        << QStringList{"ff00040a"} << QStringList{"break:ff00040a"};
    QTest::newRow("set outputs") << QStringList{"ff000004dfffff"}
                                 << QStringList{"set:ff000004dfffff"};
    QTest::newRow("greeting on port 3")
        << QStringList{"ff00000248656c6c6f20706f727420332e0d0a"}
        << QStringList{"serial:ff00000248656c6c6f20706f727420332e0d0a@2"};
    QTest::newRow("empty serial message")
        << QStringList{"ff000003"} << QStringList{"serial:ff000003@3"};
    QTest::newRow("Break-Serial: break and eight U in one read")
        << QStringList{"ff000401ff0000005555555555555555"}
        << QStringList{"break:ff000401", "serial:ff0000005555555555555555@0"};
    QTest::newRow("four greetings in one read end at each header")
        << QStringList{"ff00000041ff00000142ff00000243ff00000344"}
        << QStringList{"serial:ff00000041@0", "serial:ff00000142@1", "serial:ff00000243@2",
                       "serial:ff00000344@3"};
    QTest::newRow("requests back to back")
        << QStringList{"ff0001ff0005ff0002ff000004000000"}
        << QStringList{"in?:ff0001", "out?:ff0005", "fw?:ff0002", "set:ff000004000000"};
    QTest::newRow("set outputs split after two bytes")
        << QStringList{"ff00", "0004feffff"} << QStringList{"set:ff000004feffff/2"};
    QTest::newRow("set outputs in three pieces")
        << QStringList{"ff", "000004", "feffff"} << QStringList{"set:ff000004feffff/3"};
    QTest::newRow("request split after its first byte")
        << QStringList{"ff", "0001"} << QStringList{"in?:ff0001/2"};
    QTest::newRow("break split before its mask")
        << QStringList{"ff0004", "01ff0001"} << QStringList{"break:ff000401/2", "in?:ff0001"};
    QTest::newRow("serial data carried on in the next read")
        << QStringList{"ff0000004142", "4344"}
        << QStringList{"serial:ff0000004142@0", "serial:4344@0+"};
    QTest::newRow("a header after serial data ends the carrying on")
        << QStringList{"ff00000041", "ff0001", "4142"}
        << QStringList{"serial:ff00000041@0", "in?:ff0001", "unknown:4142"};
    QTest::newRow("serial data keeps FF not followed by 00")
        << QStringList{"ff00000041ff4142"} << QStringList{"serial:ff00000041ff4142@0"};
    QTest::newRow("unknown first byte, then a request")
        << QStringList{"1234ff0001"} << QStringList{"unknown:1234", "in?:ff0001"};
    QTest::newRow("second header byte not 00")
        << QStringList{"ff01ff0001"} << QStringList{"unknown:ff01", "in?:ff0001"};
    QTest::newRow("command 03 is unknown")
        << QStringList{"ff0003"} << QStringList{"unknown:ff0003"};
    QTest::newRow("commands above 05 are unknown")
        << QStringList{"ff0006ff0001"} << QStringList{"unknown:ff0006", "in?:ff0001"};
    QTest::newRow("message types 05 and 06 are never sent to the device")
        << QStringList{"ff0000050502ff000006ffffffff0001"}
        << QStringList{"unknown:ff0000050502", "unknown:ff000006ffffff", "in?:ff0001"};
    QTest::newRow("message type above 06")
        << QStringList{"ff000007"} << QStringList{"unknown:ff000007"};
    QTest::newRow("FF FF 00 01: the first FF alone is unknown")
        << QStringList{"ffff0001"} << QStringList{"unknown:ff", "in?:ff0001"};
    QTest::newRow("a lone FF ending unknown bytes may start the next frame")
        << QStringList{"12ff", "0001"} << QStringList{"unknown:12", "in?:ff0001/2"};
    QTest::newRow("held header followed by garbage")
        << QStringList{"ff00", "1234"} << QStringList{"unknown:ff001234"};
    QTest::newRow("an empty read changes nothing")
        << QStringList{"ff00", "", "01"} << QStringList{"in?:ff0001/2"};
}

void tst_FrameStreamParser::stream() {
    QFETCH(QStringList, reads);
    QFETCH(QStringList, frames);
    FrameStreamParser parser;
    QStringList seen;
    for (const QString &read : reads) {
        for (const ReceivedFrame &frame : parser.feed(QByteArray::fromHex(read.toLatin1())))
            seen << describe(frame);
    }
    QCOMPARE(seen, frames);
    QVERIFY(parser.takeIncomplete().isEmpty());
}

void tst_FrameStreamParser::heldBytesAreBounded() {
    // A set-outputs message trickling in a byte per read waits whole until its last byte;
    // the longest beginning ever held is its first six bytes.
    FrameStreamParser parser;
    const QByteArray frame = QByteArray::fromHex("ff000004aabbcc");
    for (qsizetype i = 0; i + 1 < frame.size(); ++i)
        QVERIFY(parser.feed(frame.mid(i, 1)).isEmpty());
    const QList<ReceivedFrame> out = parser.feed(frame.right(1));
    QCOMPARE(out.size(), 1);
    QCOMPARE(out.front().bytes, frame);
    QCOMPARE(out.front().reads, 7);

    parser.feed(frame.left(6));
    QCOMPARE(parser.takeIncomplete().size(), FrameStreamParser::MaxHeld);
}

void tst_FrameStreamParser::incompleteFrameAtClose() {
    FrameStreamParser parser;
    QVERIFY(parser.feed(QByteArray::fromHex("ff0001ff000004fe")).size() == 1);
    QCOMPARE(parser.takeIncomplete(), QByteArray::fromHex("ff000004fe"));
    QVERIFY(parser.takeIncomplete().isEmpty());
    // After a reset, a read does not carry on an earlier serial message.
    parser.feed(QByteArray::fromHex("ff00000041"));
    parser.reset();
    const QList<ReceivedFrame> frames = parser.feed(QByteArray::fromHex("4142"));
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames.front().kind, ReceivedKind::Unknown);
}

QTEST_GUILESS_MAIN(tst_FrameStreamParser)
#include "tst_framestreamparser.moc"
