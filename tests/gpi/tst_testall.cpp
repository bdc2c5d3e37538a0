#include "BuildRows.h"
#include "FrameHex.h"
#include "TesterFixture.h"
#include "gpi/GpiOutputs.h"
#include "gpi/TestAllSequencer.h"
#include "link/ConnectionControl.h"

#include <QtTest>

namespace {

// The set-outputs frame with only output `index` on.
QString oneOutputOn(int index) {
    QByteArray bytes(3, char(0xFF));
    bytes[index / 8] = char(~(1 << (index % 8)));
    return QStringLiteral("ff 00 00 04 ") + QString::fromLatin1(bytes.toHex(' '));
}

// The names of those controls whose enabled state is `enabled`.
QStringList withEnabled(const QList<QWidget *> &controls, bool enabled) {
    QStringList names;
    for (QWidget *control : controls)
        if (control->isEnabled() == enabled)
            names << control->objectName();
    return names;
}

const QString AllOff = QStringLiteral("ff 00 00 04 ff ff ff");

struct Connected : ConnectedTester {
    using ConnectedTester::ConnectedTester;
    TestAllSequencer &testAll() { return tester->testAll(); }
    int checkedOutputs() {
        int count = 0;
        for (CheckBox *box : form().GPI_Out)
            count += box->isChecked();
        return count;
    }
};

} // namespace

class tst_TestAll : public QObject {
    Q_OBJECT

private slots:
    void walkFrames_data();
    void walkFrames();
    void startAndStopControlStates();
    void pressWhileNotConnected();
    void operatorClickDuringRun();
    void inputClickDuringRunStillQueries();
    void disconnectDuringRun();
    void lostLinkKeepsWalking();
    void sliderSetsInterval();
    void sliderDragAppliesOnRelease();
};

void tst_TestAll::walkFrames_data() {
    addBuildRows();
}

// One whole walk and a bit: start press, every output in turn, the wrap, the stop press.
void tst_TestAll::walkFrames() {
    QFETCH(QString, title);
    QFETCH(int, gpis);
    Connected f(title);
    f.testAll().Test_All_Click();
    QVERIFY(f.form().Timer2->isActive());
    for (int step = 0; step < gpis + 2; ++step) {
        f.testAll().Timer2_Timer();
        // Only the lit output is checked; both buttons the step touched are left enabled.
        const int lit = step % gpis;
        QCOMPARE(f.checkedOutputs(), 1);
        QVERIFY(f.form().GPI_Out[lit]->isChecked());
        QVERIFY(f.form().GPI_Out[lit]->isEnabled());
        QVERIFY(f.form().GPI_Out[(lit + gpis - 1) % gpis]->isEnabled());
    }
    for (int i = gpis; i < Form1::GpiArraySize; ++i)
        QVERIFY(!f.form().GPI_Out[i]->isEnabled());
    f.form().Test_All->click();
    QVERIFY(!f.form().Timer2->isActive());

    QStringList expected{AllOff};
    for (int step = 0; step < gpis + 2; ++step)
        expected << oneOutputOn(step % gpis);
    expected << AllOff;
    QCOMPARE(hexList(f.socket.sent), expected);

    // The golden frames named for the two builds.
    QCOMPARE(expected[1], QStringLiteral("ff 00 00 04 fe ff ff"));
    QCOMPARE(expected[8], QStringLiteral("ff 00 00 04 7f ff ff"));
    if (gpis == 8) {
        QCOMPARE(expected[9], QStringLiteral("ff 00 00 04 fe ff ff"));
    } else {
        QCOMPARE(expected[9], QStringLiteral("ff 00 00 04 ff fe ff"));
        QCOMPARE(expected[24], QStringLiteral("ff 00 00 04 ff ff 7f"));
        QCOMPARE(expected[25], QStringLiteral("ff 00 00 04 fe ff ff"));
    }
    // The walk writes nothing to the log.
    QCOMPARE(f.log().size(), 1);
}

void tst_TestAll::startAndStopControlStates() {
    Connected f;
    Form1 &w = f.form();
    w.GPI_Out[3]->setChecked(true);
    w.Query_Firmware->setEnabled(false); // controls the walk does not touch keep their state
    f.socket.sent.clear();

    w.Test_All->click();
    QCOMPARE(w.Test_All->text(), QStringLiteral("STOP"));
    QVERIFY(w.Timer2->isActive());
    QCOMPARE(withEnabled({w.All_Off, w.All_On, w.GPI_Query_Inputs, w.GPI_Query_Outputs}, true),
             QStringList());
    QVERIFY(!w.Echo->isChecked());
    QVERIFY(!w.Echo->isEnabled());
    QVERIFY(w.Test_All->isEnabled());
    QVERIFY(w.sldGPIInterval->isEnabled());
    QVERIFY(!w.Query_Firmware->isEnabled());
    QVERIFY(!w.GPI_Out[3]->isChecked()); // All Off came first
    QCOMPARE(int(w.state.TestIndex), 23);
    QCOMPARE(hexList(f.socket.sent), QStringList{AllOff});

    f.testAll().Timer2_Timer();
    f.testAll().Timer2_Timer();
    w.Test_All->click();
    QCOMPARE(w.Test_All->text(), QStringLiteral("Test All"));
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(
        withEnabled({w.All_Off, w.All_On, w.GPI_Query_Inputs, w.GPI_Query_Outputs, w.Echo}, false),
        QStringList());
    QVERIFY(!w.Query_Firmware->isEnabled());
    QCOMPARE(f.checkedOutputs(), 0);
    QCOMPARE(int(w.state.TestIndex), 23);
    QCOMPARE(f.socket.sent.last().toHex(' '), AllOff.toLatin1());
}

// Not connected, the press only switches the outputs off locally and runs the stop branch.
void tst_TestAll::pressWhileNotConnected() {
    TesterFixture f(QStringLiteral("VORN ZED8 Tester"));
    Form1 &w = f.form();
    f.disconnectNow();
    f.socket.sent.clear();

    f.tester->testAll().Test_All_Click();
    QVERIFY(f.socket.sent.isEmpty());
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(w.Test_All->text(), QStringLiteral("Test All"));
    QCOMPARE(
        withEnabled({w.All_Off, w.All_On, w.GPI_Query_Inputs, w.GPI_Query_Outputs, w.Echo}, false),
        QStringList());
    QCOMPARE(int(w.state.TestIndex), 7);
}

// An output the operator switches on is sent at once with the lit one; the next step drops
// it from the frame while its button stays checked until the walk passes it.
void tst_TestAll::operatorClickDuringRun() {
    Connected f(QStringLiteral("VORN ZED8 Tester"));
    Form1 &w = f.form();
    f.testAll().Test_All_Click();
    f.testAll().Timer2_Timer(); // output 0
    f.socket.sent.clear();

    w.GPI_Out[5]->setChecked(true);
    f.testAll().Timer2_Timer(); // output 1
    QCOMPARE(hexList(f.socket.sent), (QStringList{"ff 00 00 04 de ff ff", "ff 00 00 04 fd ff ff"}));
    QVERIFY(w.GPI_Out[5]->isChecked());

    for (int step = 2; step <= 5; ++step)
        f.testAll().Timer2_Timer();
    QVERIFY(w.GPI_Out[5]->isChecked());
    f.testAll().Timer2_Timer(); // output 6: the walk has passed output 5
    QVERIFY(!w.GPI_Out[5]->isChecked());
    QCOMPARE(f.checkedOutputs(), 1);
    QCOMPARE(f.socket.sent.last().toHex(' '), QByteArray("ff 00 00 04 bf ff ff"));
}

// Query In is locked during a walk, but a click on an input indicator still asks.
void tst_TestAll::inputClickDuringRunStillQueries() {
    Connected f;
    f.form().Test_All->click();
    f.socket.sent.clear();
    f.tester->gpiOutputs().GPI_In_MouseUp(0, Qt::LeftButton, false);
    QCOMPARE(hexList(f.socket.sent), QStringList{"ff 00 01"});
    QCOMPARE(f.log().last(), QStringLiteral("GPI Input Status Request"));
}

void tst_TestAll::disconnectDuringRun() {
    Connected f;
    Form1 &w = f.form();
    w.Test_All->click();
    f.testAll().Timer2_Timer();
    f.tester->connection().Disconnect_Click();
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(f.socket.closes, 1);
    // The caption waits for the link timer's layout switch.
    QCOMPARE(w.Test_All->text(), QStringLiteral("STOP"));
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(w.Test_All->text(), QStringLiteral("Test All"));
    QVERIFY(!w.Test_All->isEnabled());
    QCOMPARE(f.checkedOutputs(), 0);
}

// A link lost without Disconnect leaves the walk running; nothing is sent or queued.
void tst_TestAll::lostLinkKeepsWalking() {
    Connected f(QStringLiteral("VORN ZED8 Tester"));
    Form1 &w = f.form();
    f.testAll().Test_All_Click();
    f.testAll().Timer2_Timer();
    f.socket.sent.clear();
    f.socket.setState(DeviceSocket::Error);
    f.tester->linkStatus().Timer1_Timer();
    f.testAll().Timer2_Timer();
    f.testAll().Timer2_Timer();
    QVERIFY(w.Timer2->isActive());
    QVERIFY(f.socket.sent.isEmpty());
    QVERIFY(w.GPI_Out[2]->isChecked());
    f.socket.setState(DeviceSocket::Connected);
    f.testAll().Timer2_Timer();
    QCOMPARE(hexList(f.socket.sent), QStringList{"ff 00 00 04 f7 ff ff"});

    // A press with the link broken ends the walk; it switches the outputs off locally only.
    f.socket.setState(DeviceSocket::Error);
    f.socket.sent.clear();
    w.Test_All->click();
    QVERIFY(f.socket.sent.isEmpty());
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(w.Test_All->text(), QStringLiteral("Test All"));
    QCOMPARE(f.checkedOutputs(), 0);
    QCOMPARE(int(w.state.GPIOutByte0), 0xFF);
}

void tst_TestAll::sliderSetsInterval() {
    Connected f;
    Form1 &w = f.form();
    QCOMPARE(w.Timer2->interval(), 333);
    QCOMPARE(w.Timer2->timerType(), Qt::PreciseTimer);

    // Idle: the value is taken at once, from the keyboard too.
    w.sldGPIInterval->setFocus();
    QTest::keyClick(w.sldGPIInterval, Qt::Key_Right);
    QCOMPARE(w.Timer2->interval(), 334);
    QTest::keyClick(w.sldGPIInterval, Qt::Key_PageUp);
    QCOMPARE(w.Timer2->interval(), 350);
    QTest::keyClick(w.sldGPIInterval, Qt::Key_Home);
    QCOMPARE(w.Timer2->interval(), 1);

    // Running: the new pace applies to the walk, which keeps running.
    w.Test_All->click();
    w.sldGPIInterval->setValue(1000);
    QCOMPARE(w.Timer2->interval(), 1000);
    QVERIFY(w.Timer2->isActive());
    // The slider's own range keeps the interval between 1 and 1000.
    w.sldGPIInterval->setValue(0);
    QCOMPARE(w.Timer2->interval(), 1);
    w.sldGPIInterval->setValue(5000);
    QCOMPARE(w.Timer2->interval(), 1000);
}

void tst_TestAll::sliderDragAppliesOnRelease() {
    Connected f;
    Form1 &w = f.form();
    w.sldGPIInterval->setSliderDown(true);
    w.sldGPIInterval->setValue(500);
    w.sldGPIInterval->setValue(600);
    QCOMPARE(w.Timer2->interval(), 333);
    w.sldGPIInterval->setSliderDown(false);
    QCOMPARE(w.Timer2->interval(), 600);
}

QTEST_MAIN(tst_TestAll)
#include "tst_testall.moc"
