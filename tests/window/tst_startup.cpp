#include "TesterFixture.h"

#include <QtTest>

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void gpiCountFromTitle_data();
    void gpiCountFromTitle();
};

void tst_Startup::gpiCountFromTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("count");
    QTest::newRow("ZED8 build") << "VORN ZED8 Tester" << 8;
    QTest::newRow("GPI build") << "VORN GPI Tester" << 24;
    QTest::newRow("case differs") << "VORN zed8 Tester" << 24;
    QTest::newRow("shorter than nine") << "VORN" << 24;
}

void tst_Startup::gpiCountFromTitle() {
    QFETCH(QString, title);
    QFETCH(int, count);
    TesterFixture f(title);
    QCOMPARE(int(f.form().state.GPICount), count);
    QCOMPARE(f.log(), QStringList{"Timer resolution = 100.0ns (10.0MHz)"});
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
