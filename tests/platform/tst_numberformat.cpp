#include "platform/NumberFormat.h"

#include <QtTest>

class tst_NumberFormat : public QObject {
    Q_OBJECT

private slots:
    void formats_data();
    void formats();
    void nonFinite_data();
    void nonFinite();
};

void tst_NumberFormat::formats_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    const QString us = QStringLiteral("en_US");
    const QString de = QStringLiteral("de_DE");
    const QString fr = QStringLiteral("fr_FR");
    const QString ch = QStringLiteral("de_CH");
    const QString ar = QStringLiteral("ar_EG");
    const QString c = QStringLiteral("C");
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

    // Outputs of the earlier implementation, which built everything from QString::number
    // and QString pieces: exact halves, huge and tiny values, long fractions and the
    // symbols of locales outside the usual ones.
    QTest::newRow("half rounds up") << 0.0625 << "0.000" << us << "0.063";
    QTest::newRow("half rounds up from odd") << 0.1875 << "0.000" << us << "0.188";
    QTest::newRow("negative half rounds away from zero") << -0.0625 << "0.000" << us << "-0.063";
    QTest::newRow("half millisecond") << 12.25 << "(0.0mS)" << us << "(12.3mS)";
    QTest::newRow("half to a whole number") << 0.5 << "0" << us << "1";
    QTest::newRow("half of a large number")
        << 1125899906842624.25 << "0.0" << us << "1125899906842624.3";
    QTest::newRow("just below a half") << 0.062499999999999993 << "0.000" << us << "0.062";
    QTest::newRow("carry through nines") << 9.9996 << "0.000" << us << "10.000";
    QTest::newRow("rounds up to a new group") << 999.9996 << "#,##0.000" << us << "1,000.000";
    QTest::newRow("above 1e21") << 1e22 << "#,##0.0" << us << "10,000,000,000,000,000,000,000.0";
    QTest::newRow("largest double")
        << std::numeric_limits<double>::max() << "0" << c
        << "17976931348623157081452742373170435679807056752584499659891747680315726078002853876"
           "05895586327668781715404589535143824642343213268894641827684675467035375169860499105"
           "76551282076245490090389328944075868508455133942304583236903222948165808559332123348"
           "274797826204144723168738177180919299881250404026184124858368";
    QTest::newRow("smallest double") << 5e-324 << "0.000" << us << "0.000";
    QTest::newRow("negative smallest double") << -5e-324 << "0.000" << us << "0.000";
    QTest::newRow("negative zero") << -0.0 << "0.000" << us << "0.000";
    QTest::newRow("more decimals than exact powers of ten")
        << 0.1 << "0.0000000000000000000000000" << c << "0.1000000000000000055511151";
    QTest::newRow("French grouping") << 1234567.25 << "#,##0.0MHz)" << fr
                                     << QStringView(u"1\u202f234\u202f567,3MHz)").toString();
    QTest::newRow("Swiss grouping") << 1234567.25 << "#,##0.0MHz)" << ch
                                    << QStringView(u"1\u2019234\u2019567.3MHz)").toString();
    QTest::newRow("Arabic symbols")
        << -1234.5 << "#,##0.00" << ar << QStringView(u"\u061c-1\u066c234\u066b50").toString();
    QTest::newRow("padding zeros grouped") << 5.0 << "0,000" << us << "0,005";
    QTest::newRow("point after the last placeholder") << 7.5 << "0." << us << "8.";
    QTest::newRow("second point is literal") << 7.25 << "0.0.0" << us << "7.25";
    QTest::newRow("text inside the number is dropped") << 12.0 << "0x0" << us << "12";
}

void tst_NumberFormat::formats() {
    QFETCH(double, value);
    QFETCH(QString, pattern);
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QCOMPARE(formatNumber(value, pattern, QLocale(locale)), text);
}

void tst_NumberFormat::nonFinite_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("infinity") << infinity << "(infMHz)";
    QTest::newRow("negative infinity") << -infinity << "(-infMHz)";
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << "(nanMHz)";
}

void tst_NumberFormat::nonFinite() {
    // No digits to round, pad or group: the word alone, not "inf.inf" or "0inf".
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(formatNumber(value, u"(#,000.0MHz)", QLocale(QLocale::English)), text);
}

QTEST_APPLESS_MAIN(tst_NumberFormat)
#include "tst_numberformat.moc"
