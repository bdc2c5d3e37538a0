#pragma once

#include <QTest>

// Data rows for both builds: the window title that selects one, and how many GPIs it has.
inline void addBuildRows() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("gpis");
    QTest::newRow("24 GPIs") << QStringLiteral("VORN GPI Tester") << 24;
    QTest::newRow("8 GPIs") << QStringLiteral("VORN ZED8 Tester") << 8;
}
