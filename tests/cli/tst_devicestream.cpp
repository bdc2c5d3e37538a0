#include "DeviceStream.h"
#include "FrameHex.h"

#include <QtTest>

namespace {

struct Read {
    QStringList frames;
    QByteArray garbage;
};

// Feeds the stream cut before each of the given positions, up to the first garbage.
Read readCut(const QByteArray &stream, const QList<qsizetype> &cuts) {
    cli::DeviceStream reader;
    Read read;
    qsizetype from = 0;
    for (qsizetype to : cuts + QList<qsizetype>{stream.size()}) {
        const cli::DeviceStream::Result result = reader.feed(stream.mid(from, to - from));
        read.frames += hexList(result.frames);
        read.garbage = result.garbage;
        if (!read.garbage.isEmpty())
            break;
        from = to;
    }
    return read;
}

} // namespace

class tst_DeviceStream : public QObject {
    Q_OBJECT

private slots:
    void cutAnywhere_data();
    void cutAnywhere();
};

void tst_DeviceStream::cutAnywhere_data() {
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QByteArray>("garbage");

    QTest::newRow("ID, inputs, outputs")
        << hex("ff0000050703ff000004feffffff000006ffffff")
        << QStringList{"ff 00 00 05 07 03", "ff 00 00 04 fe ff ff", "ff 00 00 06 ff ff ff"}
        << QByteArray();
    QTest::newRow("serial data is dropped up to the next header")
        << hex("ff0000004142ff000004000000") << QStringList{"ff 00 00 04 00 00 00"} << QByteArray();
    QTest::newRow("serial data holding FF not followed by 00")
        << hex("ff00000141ff55ffff42ff000004000000") << QStringList{"ff 00 00 04 00 00 00"}
        << QByteArray();
    QTest::newRow("serial data ending in FF")
        << hex("ff00000341ff") << QStringList{} << QByteArray();
    QTest::newRow("garbage after a frame") << hex("ff000004000000414243ff0000050102")
                                           << QStringList{"ff 00 00 04 00 00 00"} << hex("414243");
    QTest::newRow("a request code from the box")
        << hex("ff0001ff000004000000") << QStringList{} << hex("ff0001");
    QTest::newRow("unknown message type")
        << hex("ff00000901") << QStringList{} << hex("ff00000901");
}

// However TCP cuts the stream, the same frames come out and the same garbage stops it; a cut
// may only end the garbage shown early.
void tst_DeviceStream::cutAnywhere() {
    QFETCH(QByteArray, stream);
    QFETCH(QStringList, frames);
    QFETCH(QByteArray, garbage);

    const Read whole = readCut(stream, {});
    QCOMPARE(whole.frames, frames);
    QCOMPARE(whole.garbage.toHex(), garbage.toHex());

    QList<qsizetype> everyByte;
    for (qsizetype i = 1; i < stream.size(); ++i) {
        everyByte << i;
        const Read cut = readCut(stream, {i});
        QVERIFY2(cut.frames == frames, qPrintable(QStringLiteral("cut at %1").arg(i)));
        QVERIFY2(garbage.startsWith(cut.garbage) && cut.garbage.isEmpty() == garbage.isEmpty(),
                 qPrintable(QStringLiteral("cut at %1: %2").arg(i).arg(cut.garbage.toHex())));
    }
    const Read bytewise = readCut(stream, everyByte);
    QCOMPARE(bytewise.frames, frames);
    QCOMPARE(bytewise.garbage.isEmpty(), garbage.isEmpty());
}

QTEST_GUILESS_MAIN(tst_DeviceStream)
#include "tst_devicestream.moc"
