#include "ResultTable.h"
#include "Stats.h"

#include <QtTest>

#include <limits>

// The benchmark's goals are judged on the median of its rounds, and the spread beside it says
// how far one round alone could have put the figure.
class tst_BenchRounds : public QObject {
    Q_OBJECT

private slots:
    void ratioAndSpread_data();
    void ratioAndSpread();
};

void tst_BenchRounds::ratioAndSpread_data() {
    const double inf = std::numeric_limits<double>::infinity();
    QTest::addColumn<QList<double>>("ratios");
    QTest::addColumn<double>("median");
    QTest::addColumn<QString>("ratio");
    QTest::addColumn<QString>("spread");
    QTest::newRow("odd: the middle round") << QList<double>{1.4, 1.1, 1.3} << 1.3 << "1.30x"
                                           << "1.10 to 1.40";
    QTest::newRow("even: between the two middle rounds")
        << QList<double>{2.0, 1.0, 1.4, 1.2} << 1.3 << "1.30x"
        << "1.00 to 2.00";
    QTest::newRow("one round") << QList<double>{0.85} << 0.85 << "0.85x"
                               << "0.85 to 0.85";
    QTest::newRow("a baseline round with nothing") << QList<double>{1.1, inf, 1.2} << 1.2 << "1.20x"
                                                   << "1.10 to -";
}

void tst_BenchRounds::ratioAndSpread() {
    QFETCH(QList<double>, ratios);
    QFETCH(double, median);
    QFETCH(QString, ratio);
    QFETCH(QString, spread);
    Rounds rounds;
    for (double r : ratios)
        rounds.add(r);
    ResultRow row;
    QCOMPARE(row.showRatios(rounds), median);
    QCOMPARE(row.ratio, ratio);
    QCOMPARE(row.spread, spread);
}

QTEST_APPLESS_MAIN(tst_BenchRounds)
#include "tst_benchrounds.moc"
