#include "platform/NumberFormat.h"

#include <QtTest>

class tst_NumberFormat : public QObject {
    Q_OBJECT

private slots:
    void formats_data();
    void formats();
};

void tst_NumberFormat::formats_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    const QString us = QStringLiteral("en_US");
    const QString de = QStringLiteral("de_DE");
    QTest::newRow("MHz small") << 3.579545 << "#,##0.0MHz)" << us << "3.6MHz)";
    QTest::newRow("MHz grouped") << 2531.249 << "#,##0.0MHz)" << us << "2,531.2MHz)";
    QTest::newRow("MHz grouped German") << 2531.249 << "#,##0.0MHz)" << de << "2.531,2MHz)";
    QTest::newRow("MHz millions") << 1234567.89 << "#,##0.0MHz)" << us << "1,234,567.9MHz)";
    QTest::newRow("MHz below one") << 0.04 << "#,##0.0MHz)" << us << "0.0MHz)";
    QTest::newRow("ns") << 279.365 << " 0.0ns (" << us << " 279.4ns (";
    QTest::newRow("ns German") << 0.395 << " 0.0ns (" << de << " 0,4ns (";
    QTest::newRow("no grouping without comma") << 12345.6789 << "   0.000" << us << "   12345.679";
    QTest::newRow("German point, no grouping") << 12345.6789 << "   0.000" << de << "   12345,679";
    QTest::newRow("previous") << 0.1204 << " (0.000)" << us << " (0.120)";
    QTest::newRow("ms") << 12.34 << "(0.0mS)" << us << "(12.3mS)";
    QTest::newRow("ms German") << 12.34 << "(0.0mS)" << de << "(12,3mS)";
    QTest::newRow("negative") << -1.25 << "0.00" << us << "-1.25";
    QTest::newRow("negative that rounds to zero") << -0.0001 << "0.000" << us << "0.000";
    QTest::newRow("optional integer digit") << 0.5 << "#.0" << us << ".5";
    QTest::newRow("padding zeros") << 7.0 << "000" << us << "007";
    QTest::newRow("no placeholder") << 7.0 << "abc" << us << "abc";
}

void tst_NumberFormat::formats() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(formatNumber(value, pattern, QLocale(locale)), text);
}

QTEST_APPLESS_MAIN(tst_NumberFormat)
#include "tst_numberformat.moc"
