#include "TesterFixture.h"

#include <QtTest>

namespace {

// Every control that echo mode may touch, with whether it is enabled.
QMap<QString, bool> enabledStates(Form1 &w) {
    QMap<QString, bool> states;
    for (QWidget *child : w.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        states.insert(child->objectName(), child->isEnabled());
    return states;
}

const QStringList Locked{"All_On", "All_Off", "Test_All"};

} // namespace

class tst_Echo : public QObject {
    Q_OBJECT

private slots:
    void lockAndUnlock_data();
    void lockAndUnlock();
    void outputChangeEndsEchoMode();
    void testAllEndsEchoMode();
};

void tst_Echo::lockAndUnlock_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("gpis");
    QTest::addColumn<bool>("connected");
    QTest::newRow("24 GPIs connected") << "VORN GPI Tester" << 24 << true;
    QTest::newRow("8 GPIs connected") << "VORN ZED8 Tester" << 8 << true;
    QTest::newRow("24 GPIs disconnected") << "VORN GPI Tester" << 24 << false;
    QTest::newRow("8 GPIs disconnected") << "VORN ZED8 Tester" << 8 << false;
}

// Checking locks exactly All On, All Off, Test All and the served outputs; unchecking
// unlocks exactly those, with or without a link, and neither sends nor logs.
void tst_Echo::lockAndUnlock() {
    QFETCH(QString, title);
    QFETCH(int, gpis);
    QFETCH(bool, connected);
    TesterFixture f(title);
    connected ? f.connectNow() : f.disconnectNow();
    Form1 &w = f.form();
    // Start from everything enabled that echo mode may touch, so the unlock shows.
    for (const QString &name : Locked)
        w.findChild<QWidget *>(name)->setEnabled(true);
    for (int k = 0; k < gpis; ++k)
        w.GPI_Out[k]->setEnabled(true);
    w.Echo->setEnabled(true);
    const QMap<QString, bool> before = enabledStates(w);
    const QStringList log = f.log();
    f.socket.sent.clear();

    w.Echo->setChecked(true);
    QMap<QString, bool> expected = before;
    for (const QString &name : Locked)
        expected[name] = false;
    for (int k = 0; k < gpis; ++k)
        expected[w.GPI_Out[k]->objectName()] = false;
    QCOMPARE(enabledStates(w), expected);

    w.Echo->setChecked(false);
    QCOMPARE(enabledStates(w), before);
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(f.log(), log);
}

// A program change of an output ends echo mode, and the unlocked button sends its change.
void tst_Echo::outputChangeEndsEchoMode() {
    TesterFixture f;
    f.connectNow();
    Form1 &w = f.form();
    w.Echo->setChecked(true);
    f.socket.sent.clear();
    w.GPI_Out[0]->setChecked(true);
    QVERIFY(!w.Echo->isChecked());
    QVERIFY(w.All_Off->isEnabled());
    QVERIFY(w.GPI_Out[23]->isEnabled());
    QCOMPARE(f.socket.sent, QList<QByteArray>{QByteArray::fromHex("ff000004feffff")});
}

void tst_Echo::testAllEndsEchoMode() {
    TesterFixture f(QStringLiteral("VORN ZED8 Tester"));
    f.connectNow();
    Form1 &w = f.form();
    w.Echo->setChecked(true);
    // Test All is locked by echo mode; a press that gets through all the same ends it.
    w.Test_All->setEnabled(true);
    w.Test_All->click();
    QVERIFY(!w.Echo->isChecked());
    QVERIFY(!w.Echo->isEnabled());
    QVERIFY(w.Timer2->isActive());
    for (int k = 0; k < 8; ++k)
        QVERIFY(w.GPI_Out[k]->isEnabled());
}

QTEST_MAIN(tst_Echo)
#include "tst_echo.moc"
