#include "platform/LenientNumber.h"

#include <QtTest>

#include <limits>

class tst_LenientNumber : public QObject {
    Q_OBJECT

private slots:
    void reads_data();
    void reads();
};

void tst_LenientNumber::reads_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "23" << 23.0;
    QTest::newRow("letters after") << "4141abc" << 4141.0;
    QTest::newRow("zero fraction") << "4141.0" << 4141.0;
    QTest::newRow("blank inside") << "41 41" << 4141.0;
    QTest::newRow("tab and line feed inside") << "\t41\n4\t1 " << 4141.0;
    QTest::newRow("exponent") << "8e3" << 8000.0;
    QTest::newRow("exponent D") << "8D3" << 8000.0;
    QTest::newRow("exponent with sign") << "80000e-1" << 8000.0;
    QTest::newRow("exponent without digits") << "8e" << 8.0;
    QTest::newRow("hex") << "&H102D" << 4141.0;
    QTest::newRow("hex lower case") << "&h1f40" << 8000.0;
    QTest::newRow("hex 16-bit negative") << "&HFFFF" << -1.0;
    QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
    QTest::newRow("octal") << "&O10055" << 4141.0;
    QTest::newRow("bare ampersand is octal") << "&17500" << 8000.0;
    QTest::newRow("octal stops at 8") << "&O78" << 7.0;
    QTest::newRow("no digits after prefix") << "&H" << 0.0;
    QTest::newRow("fraction") << "23.75" << 23.75;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("minus") << "-23" << -23.0;
    QTest::newRow("plus with blank") << "+ 23" << 23.0;
    QTest::newRow("second point stops") << "1.2.3" << 1.2;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blanks only") << "   " << 0.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("sign only") << "-" << 0.0;
    QTest::newRow("point only") << "." << 0.0;
    QTest::newRow("comma stops") << "4,141" << 4.0;
    QTest::newRow("carriage return stops") << "41\r41" << 41.0;
    QTest::newRow("non-ASCII digit stops") << QStringLiteral("4\u0661") << 4.0;
    QTest::newRow("near miss") << "4140" << 4140.0;
    QTest::newRow("out of range") << "1e999" << std::numeric_limits<double>::max();
}

void tst_LenientNumber::reads() {
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

QTEST_APPLESS_MAIN(tst_LenientNumber)
#include "tst_lenientnumber.moc"
