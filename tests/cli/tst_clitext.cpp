#include "FrameStart.h"
#include "HexText.h"
#include "WholeNumber.h"

#include <QCommandLineParser>
#include <QtTest>

// The number rule, the GPI bytes as text and the search for the next frame, which every
// command-line program reads and writes the same way.
class tst_CliText : public QObject {
    Q_OBJECT

private slots:
    void wholeNumber_data();
    void wholeNumber();
    void optionNumber();
    void gpiBytes_data();
    void gpiBytes();
    void frameStart_data();
    void frameStart();
};

void tst_CliText::wholeNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("value"); // -1: refused

    QTest::newRow("smallest") << "1" << 1 << 24 << 1;
    QTest::newRow("largest") << "24" << 1 << 24 << 24;
    QTest::newRow("zero where allowed") << "0" << 0 << 65535 << 0;
    QTest::newRow("leading zeros") << "0023" << 1 << 65535 << 23;
    QTest::newRow("below") << "0" << 1 << 24 << -1;
    QTest::newRow("above") << "25" << 1 << 24 << -1;
    QTest::newRow("empty") << "" << 0 << 9 << -1;
    QTest::newRow("plus sign") << "+1" << 0 << 9 << -1;
    QTest::newRow("minus sign") << "-0" << 0 << 9 << -1;
    QTest::newRow("blank before") << " 5" << 0 << 9 << -1;
    QTest::newRow("blank after") << "5 " << 0 << 9 << -1;
    QTest::newRow("hex") << "0x10" << 0 << 99 << -1;
    QTest::newRow("fraction") << "2.5" << 0 << 9 << -1;
    QTest::newRow("letters after") << "12ms" << 0 << 99 << -1;
    QTest::newRow("other script digits") << QStringLiteral("\u0663") << 0 << 9 << -1;
    QTest::newRow("past 64 bits") << "99999999999999999999" << 0 << 600000 << -1;
    QTest::newRow("past int, in 64 bits") << "4294967297" << 0 << 600000 << -1;
}

void tst_CliText::wholeNumber() {
    QFETCH(QString, text);
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, value);
    QCOMPARE(cli::readWholeNumber(text, min, max).value_or(-1), value);
}

void tst_CliText::optionNumber() {
    QCommandLineParser parser;
    const QCommandLineOption port({QStringLiteral("p"), QStringLiteral("port")}, QString(),
                                  QStringLiteral("N"));
    parser.addOption(port);
    QVERIFY(parser.parse({QStringLiteral("x"), QStringLiteral("-p"), QStringLiteral("%1x")}));
    QString error;
    QCOMPARE(cli::readOptionNumber(parser, port, 1, 65535, &error), std::nullopt);
    // The longest name, the text as given (a '%' too) and the range.
    QCOMPARE(error, QStringLiteral("--port: '%1x' is not a whole number from 1 to 65535"));
    QVERIFY(parser.parse({QStringLiteral("x"), QStringLiteral("--port=2323")}));
    QCOMPARE(cli::readOptionNumber(parser, port, 1, 65535, nullptr), 2323);
    // What is shown of a long text is cut.
    QCOMPARE(
        cli::wholeNumberError(QStringLiteral("output"), QString(100, u'9'), 1, 8),
        QStringLiteral("output: '%1' is not a whole number from 1 to 8").arg(QString(40, u'9')));
}

void tst_CliText::gpiBytes_data() {
    QTest::addColumn<quint32>("state");
    QTest::addColumn<QString>("text");
    QTest::newRow("all off") << quint32(0xFFFFFF) << "FF FF FF";
    QTest::newRow("all on") << quint32(0) << "00 00 00";
    // GPI 1 is the lowest bit of the first byte, GPI 24 the highest of the third.
    QTest::newRow("GPI 1 on") << quint32(0xFFFFFE) << "FE FF FF";
    QTest::newRow("GPI 24 on") << quint32(0x7FFFFF) << "FF FF 7F";
    QTest::newRow("bits above 24 ignored") << quint32(0xFF123456) << "56 34 12";
}

void tst_CliText::gpiBytes() {
    QFETCH(quint32, state);
    QFETCH(QString, text);
    QCOMPARE(cli::gpiBytesText(state), text);
}

void tst_CliText::frameStart_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("ignored"); // where it is with LoneFf::Ignored
    QTest::addColumn<int>("counted"); // and with LoneFf::Counts

    const auto hex = [](const char *text) { return QByteArray::fromHex(text); };
    QTest::newRow("header at from") << hex("ff0001") << 0 << 0 << 0;
    QTest::newRow("header later") << hex("4142ff0001") << 0 << 2 << 2;
    QTest::newRow("FF not followed by 00") << hex("ff41ff0001") << 0 << 2 << 2;
    QTest::newRow("none") << hex("41424344") << 0 << 4 << 4;
    QTest::newRow("lone FF at the end") << hex("4142ff") << 0 << 3 << 2;
    QTest::newRow("FF FF at the end") << hex("41ffff") << 0 << 3 << 2;
    QTest::newRow("lone FF before from") << hex("ff") << 1 << 1 << 1;
    QTest::newRow("empty") << QByteArray() << 0 << 0 << 0;
}

void tst_CliText::frameStart() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, from);
    QFETCH(int, ignored);
    QFETCH(int, counted);
    QCOMPARE(cli::findFrameStart(bytes, from, cli::LoneFf::Ignored), ignored);
    QCOMPARE(cli::findFrameStart(bytes, from, cli::LoneFf::Counts), counted);
}

QTEST_GUILESS_MAIN(tst_CliText)
#include "tst_clitext.moc"
