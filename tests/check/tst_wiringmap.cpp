#include "WiringMap.h"

#include <QTemporaryFile>
#include <QtTest>

class tst_WiringMap : public QObject {
    Q_OBJECT

private slots:
    void goodMap();
    void badLines_data();
    void badLines();
    void unreadableFile();
};

void tst_WiringMap::goodMap() {
    const ReadMap read = ParseWiringMap("# harness B\n\n 9 7   # crossed on purpose\r\n1\t1\n", 24);
    QVERIFY2(read.ok(), qPrintable(read.error));
    QCOMPARE(read.map.channels, (QList<Channel>{{0, 0}, {8, 6}}));
}

void tst_WiringMap::badLines_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("gpis");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("error");
    // clang-format off
    QTest::newRow("one number") << QByteArray("1 1\n2\n") << 24 << 2 << "line 2: expected OUTPUT INPUT, two GPI numbers, got '2'";
    QTest::newRow("three numbers") << QByteArray("# c\n1 2 3\n") << 24 << 2 << "got '1 2 3'";
    QTest::newRow("not a number") << QByteArray("1 1\n\n2 x\n") << 24 << 3 << "line 3: input: 'x' is not a whole number from 1 to 24";
    QTest::newRow("zero") << QByteArray("0 1\n") << 24 << 1 << "output: '0' is not a whole number";
    QTest::newRow("25") << QByteArray("1 25\n") << 24 << 1 << "input: '25' is not a whole number from 1 to 24";
    QTest::newRow("beyond 8 GPIs") << QByteArray("9 9\n") << 8 << 1 << "output: '9' is not a whole number from 1 to 8";
    QTest::newRow("percent") << QByteArray("%2 1\n") << 24 << 1 << "line 1: output: '%2' is not a whole number from 1 to 24";
    QTest::newRow("sign") << QByteArray("+1 1\n") << 24 << 1 << "output: '+1' is not a whole number";
    QTest::newRow("output twice") << QByteArray("5 5\n5 6\n") << 24 << 2 << "line 2: output 5 is already mapped on line 1";
    QTest::newRow("input twice") << QByteArray("5 5\n# x\n6 5\n") << 24 << 3 << "line 3: input 5 is already mapped on line 1";
    QTest::newRow("no pairs") << QByteArray("# nothing\n\n") << 24 << 0 << "no OUTPUT INPUT pair";
    // clang-format on
}

void tst_WiringMap::badLines() {
    QFETCH(QByteArray, text);
    QFETCH(int, gpis);
    QFETCH(int, line);
    QFETCH(QString, error);
    const ReadMap read = ParseWiringMap(text, gpis);
    QVERIFY(!read.ok());
    QCOMPARE(read.badLine, line);
    QVERIFY2(read.error.contains(error), qPrintable(read.error));
}

void tst_WiringMap::unreadableFile() {
    QVERIFY(LoadWiringMap(QStringLiteral("/nonexistent/harness.map"), 24)
                .error.startsWith(QStringLiteral("cannot read /nonexistent/harness.map")));
    QTemporaryFile big;
    QVERIFY(big.open());
    big.write(QByteArray(MaxMapFileSize + 1, '#'));
    big.close();
    QVERIFY(LoadWiringMap(big.fileName(), 24).error.contains(QStringLiteral("too big")));
}

QTEST_GUILESS_MAIN(tst_WiringMap)
#include "tst_wiringmap.moc"
