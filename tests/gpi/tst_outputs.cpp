#include "BuildRows.h"
#include "FrameHex.h"
#include "TesterFixture.h"
#include "gpi/GpiOutputs.h"
#include "gpi/OutputState.h"

#include <QtTest>

#include <functional>

namespace {

// A click on the box's indicator, where a click toggles it.
void clickBox(QWidget *box, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(box, button, {}, QPoint(6, box->height() / 2));
}

struct Connected : ConnectedTester {
    using ConnectedTester::ConnectedTester;
    GpiOutputs &outputs() { return tester->gpiOutputs(); }
    QByteArray outputBytes() {
        const TesterState &s = form().state;
        const char bytes[] = {char(s.GPIOutByte0), char(s.GPIOutByte1), char(s.GPIOutByte2)};
        return QByteArray(bytes, 3);
    }
};

using Action = std::function<void(Connected &)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class tst_Outputs : public QObject {
    Q_OBJECT

private slots:
    void outputByteAndBit_data();
    void outputByteAndBit();
    void allOnAllOff_data();
    void allOnAllOff();
    void allOnNotConnected();
    void disabledButtonRecordsWithoutSending();
    void showOutput_data();
    void showOutput();
    void quietChangeKeepsFocus_data();
    void quietChangeKeepsFocus();
    void unexpectedIndex();
    void queries_data();
    void queries();
    void queryTwiceWithoutAnswer();
    void notConnectedSendsNothing_data();
    void notConnectedSendsNothing();
    void refusedSendIsNotTimed();
    void inputIndicatorClick_data();
    void inputIndicatorClick();
    void wholeBoxTakesTheMouse_data();
    void wholeBoxTakesTheMouse();
};

void tst_Outputs::outputByteAndBit_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("output 0") << 0 << hex("ff000004feffff");
    QTest::newRow("output 5") << 5 << hex("ff000004dfffff");
    QTest::newRow("output 7") << 7 << hex("ff0000047fffff");
    QTest::newRow("output 8") << 8 << hex("ff000004fffeff");
    QTest::newRow("output 9") << 9 << hex("ff000004fffdff");
    QTest::newRow("output 12") << 12 << hex("ff000004ffefff");
    QTest::newRow("output 15") << 15 << hex("ff000004ff7fff");
    QTest::newRow("output 16") << 16 << hex("ff000004fffffe");
    QTest::newRow("output 23") << 23 << hex("ff000004ffff7f");
}

void tst_Outputs::outputByteAndBit() {
    QFETCH(int, index);
    QFETCH(QByteArray, frame);
    Connected f;
    const QStringList log = f.log();
    f.clock.counter = 123456789;
    f.form().GPI_Out[index]->setChecked(true);
    QCOMPARE(hexList(f.socket.sent), hexList({frame}));
    QCOMPARE(f.form().state.RequestSentCount, 123456789.0);
    f.form().GPI_Out[index]->setChecked(false);
    QCOMPARE(hexList(f.socket.sent), hexList({frame, hex("ff000004ffffff")}));
    // Output frames are neither logged nor trimmed.
    QCOMPARE(f.log(), log);
}

void tst_Outputs::allOnAllOff_data() {
    // In the 8-GPI build outputs 8 to 23 have no buttons, but their bits go out all the same.
    addBuildRows();
}

void tst_Outputs::allOnAllOff() {
    QFETCH(QString, title);
    QFETCH(int, gpis);
    Connected f(title);
    f.form().GPI_Out[2]->setChecked(true); // one output on beforehand
    f.socket.sent.clear();

    QTest::mouseClick(f.form().All_On, Qt::LeftButton);
    QCOMPARE(hexList(f.socket.sent), hexList({hex("ff000004000000")}));
    QCOMPARE(f.outputBytes(), hex("000000"));
    for (int i = 0; i < Form1::GpiArraySize; ++i) {
        QCOMPARE(f.form().GPI_Out[i]->isChecked(), i < gpis);
        QCOMPARE(f.form().GPI_Out[i]->isEnabled(), i < gpis);
    }

    f.socket.sent.clear();
    QTest::mouseClick(f.form().All_Off, Qt::LeftButton);
    QCOMPARE(hexList(f.socket.sent), hexList({hex("ff000004ffffff")}));
    QCOMPARE(f.outputBytes(), hex("ffffff"));
    for (int i = 0; i < Form1::GpiArraySize; ++i) {
        QVERIFY(!f.form().GPI_Out[i]->isChecked());
        QCOMPARE(f.form().GPI_Out[i]->isEnabled(), i < gpis);
    }
}

void tst_Outputs::allOnNotConnected() {
    Connected f;
    f.socket.setState(DeviceSocket::Closed); // the link timer has not noticed yet
    const double before = f.form().state.RequestSentCount;
    f.outputs().All_On_Click();
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(f.outputBytes(), hex("000000"));
    for (int i = 0; i < Form1::GpiArraySize; ++i)
        QVERIFY(f.form().GPI_Out[i]->isChecked());
    QCOMPARE(f.form().state.RequestSentCount, before);
}

void tst_Outputs::disabledButtonRecordsWithoutSending() {
    Connected f;
    f.form().GPI_Out[10]->setEnabled(false);
    f.form().GPI_Out[10]->setChecked(true);
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(f.outputBytes(), hex("fffbff"));
    // The next frame that goes out carries the change.
    f.form().GPI_Out[0]->setChecked(true);
    QCOMPARE(hexList(f.socket.sent), hexList({hex("ff000004fefbff")}));
}

void tst_Outputs::showOutput_data() {
    QTest::addColumn<bool>("echo");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("on");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("enabledAfter");
    QTest::newRow("enabled button") << false << true << true << hex("fbffff") << true;
    QTest::newRow("disabled button stays disabled")
        << false << false << true << hex("fbffff") << false;
    // Ending echo unlocks the buttons, as the button's own handler would.
    QTest::newRow("echo on") << true << false << true << hex("fbffff") << true;
    QTest::newRow("already shown: no handler, echo kept")
        << true << false << false << hex("ffffff") << false;
}

// Whatever the button's state, showing an output records its bit and sends nothing.
void tst_Outputs::showOutput() {
    QFETCH(bool, echo);
    QFETCH(bool, enabled);
    QFETCH(bool, on);
    Connected f;
    OutputState::setAllBytes(f.form().state, 0xFF);
    f.form().Echo->setChecked(echo);
    CheckBox *button = f.form().GPI_Out[2];
    button->setEnabled(enabled);
    OutputState::showOutput(f.form(), 2, on);
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(button->isChecked(), on);
    QTEST(f.outputBytes(), "bytes");
    QTEST(button->isEnabled(), "enabledAfter");
    QCOMPARE(f.form().Echo->isChecked(), echo && !on);
}

void tst_Outputs::quietChangeKeepsFocus_data() {
    QTest::addColumn<Action>("action");
    QTest::newRow("report of the outputs")
        << Action([](Connected &f) { f.socket.arrive(hex("ff000006feffff")); });
    QTest::newRow("Test All step") << Action([](Connected &f) {
        f.tester->testAll().Test_All_Click();
        f.tester->testAll().Timer2_Timer();
    });
    QTest::newRow("All On") << Action([](Connected &f) { f.outputs().All_On_Click(); });
}

// The output a change switched keeps the focus, so the next key press acts on it.
void tst_Outputs::quietChangeKeepsFocus() {
    QFETCH(Action, action);
    Connected f;
    CheckBox *button = f.form().GPI_Out[0];
    button->setFocus();
    QCOMPARE(f.form().focusWidget(), button);
    action(f);
    QVERIFY(button->isChecked());
    QCOMPARE(f.form().focusWidget(), button);
}

void tst_Outputs::unexpectedIndex() {
    Connected f;
    f.form().Echo->setChecked(true);
    const int lines = f.log().size();
    f.outputs().GPI_Out_Click(24);
    QVERIFY(!f.form().Echo->isChecked());
    QCOMPARE(f.log().size(), lines + 1);
    QCOMPARE(f.log().last(), "Unexpected GPI_Out_Click");
    QCOMPARE(f.outputBytes(), hex("ffffff"));
    QVERIFY(f.socket.sent.isEmpty());

    // An indicator index without a box still asks for the inputs.
    f.outputs().GPI_In_MouseUp(24, Qt::LeftButton, true);
    QCOMPARE(hexList(f.socket.sent), hexList({hex("ff0001")}));
}

void tst_Outputs::queries_data() {
    QTest::addColumn<Action>("click");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<bool>("timed");
    QTest::newRow("Query In") << Action([](Connected &f) {
        QTest::mouseClick(f.form().GPI_Query_Inputs, Qt::LeftButton);
    }) << "GPI Input Status Request"
                              << hex("ff0001") << false;
    QTest::newRow("Query Out") << Action([](Connected &f) {
        QTest::mouseClick(f.form().GPI_Query_Outputs, Qt::LeftButton);
    }) << "GPI Output Status Request"
                               << hex("ff0005") << false;
    QTest::newRow("Query FW") << Action([](Connected &f) {
        QTest::mouseClick(f.form().Query_Firmware, Qt::LeftButton);
    }) << "Firmware Version Request"
                              << hex("ff0002") << true;
}

void tst_Outputs::queries() {
    QFETCH(Action, click);
    QFETCH(QString, line);
    QFETCH(QByteArray, frame);
    QFETCH(bool, timed);
    Connected f;
    // A full log shows that the request line is trimmed in.
    for (int i = 0; i < 100; ++i)
        f.form().appendLog(QString::number(i));
    const double before = f.form().state.RequestSentCount;
    f.clock.counter = 987654321;
    click(f);
    QCOMPARE(hexList(f.socket.sent), hexList({frame}));
    const QStringList log = f.log();
    QCOMPARE(log.size(), 100);
    QCOMPARE(log.first(), "1");
    QCOMPARE(log.last(), line);
    QCOMPARE(f.form().ListBox->currentRow(), 99);
    QCOMPARE(f.form().state.RequestSentCount, timed ? 987654321.0 : before);
}

void tst_Outputs::queryTwiceWithoutAnswer() {
    Connected f;
    f.outputs().GPI_Query_Inputs_Click();
    f.outputs().GPI_Query_Inputs_Click();
    QCOMPARE(hexList(f.socket.sent), hexList({hex("ff0001"), hex("ff0001")}));
    QCOMPARE(f.log().mid(f.log().size() - 2),
             QStringList({"GPI Input Status Request", "GPI Input Status Request"}));
}

void tst_Outputs::notConnectedSendsNothing_data() {
    QTest::addColumn<Action>("action");
    QTest::newRow("Query In") << Action([](Connected &f) { f.outputs().GPI_Query_Inputs_Click(); });
    QTest::newRow("Query Out") << Action(
        [](Connected &f) { f.outputs().GPI_Query_Outputs_Click(); });
    QTest::newRow("Query FW") << Action([](Connected &f) { f.outputs().Query_Firmware_Click(); });
    QTest::newRow("SendGpiOutputs") << Action([](Connected &f) { f.outputs().SendGpiOutputs(); });
    QTest::newRow("All Off") << Action([](Connected &f) { f.outputs().All_Off_Click(); });
    QTest::newRow("output button")
        << Action([](Connected &f) { f.form().GPI_Out[4]->setChecked(true); });
    QTest::newRow("input indicator") << Action([](Connected &f) { clickBox(f.form().GPI_In[4]); });
}

void tst_Outputs::notConnectedSendsNothing() {
    QFETCH(Action, action);
    for (qint16 state : {DeviceSocket::Closed, DeviceSocket::Connecting, DeviceSocket::Closing,
                         DeviceSocket::Error}) {
        Connected f;
        f.socket.setState(state);
        const QStringList log = f.log();
        const double before = f.form().state.RequestSentCount;
        const int reads = f.clock.counterReads;
        action(f);
        QVERIFY(f.socket.sent.isEmpty());
        QCOMPARE(f.log(), log);
        QCOMPARE(f.form().state.RequestSentCount, before);
        QCOMPARE(f.clock.counterReads, reads);
        QVERIFY(!f.form().GPI_In[4]->isChecked());
    }
}

void tst_Outputs::refusedSendIsNotTimed() {
    Connected f;
    f.socket.failSends = true;
    const double before = f.form().state.RequestSentCount;
    f.clock.counter = 555;
    f.form().GPI_Out[1]->setChecked(true);
    f.outputs().SendFirmwareRequest();
    // Each frame was tried once, not retried, and no response time starts from it.
    QCOMPARE(hexList(f.socket.sent), hexList({hex("ff000004fdffff"), hex("ff0002")}));
    QCOMPARE(f.form().state.RequestSentCount, before);
    QCOMPARE(f.log().last(), "Firmware Version Request");
}

void tst_Outputs::inputIndicatorClick_data() {
    QTest::addColumn<bool>("reported");
    QTest::addColumn<int>("button");
    QTest::newRow("off, left click") << false << int(Qt::LeftButton);
    QTest::newRow("on, left click") << true << int(Qt::LeftButton);
    // Buttons that do not toggle the box still ask for the inputs.
    QTest::newRow("off, right click") << false << int(Qt::RightButton);
    QTest::newRow("on, right click") << true << int(Qt::RightButton);
    QTest::newRow("on, middle click") << true << int(Qt::MiddleButton);
}

void tst_Outputs::inputIndicatorClick() {
    QFETCH(bool, reported);
    QFETCH(int, button);
    Connected f;
    CheckBox *indicator = f.form().GPI_In[6];
    indicator->setChecked(reported);
    clickBox(indicator, Qt::MouseButton(button));
    QCOMPARE(indicator->isChecked(), reported);
    QCOMPARE(hexList(f.socket.sent), hexList({hex("ff0001")}));
    QCOMPARE(f.log().last(), "GPI Input Status Request");
}

void tst_Outputs::wholeBoxTakesTheMouse_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("dragOff");
    for (const char *name : {"GPI_Out(0)", "GPI_Out(23)", "Echo", "chkBreakSerial(0)"}) {
        QTest::newRow(name) << QString::fromLatin1(name) << false;
        QTest::newRow(qPrintable(QLatin1String(name) + QLatin1String(", dragged off")))
            << QString::fromLatin1(name) << true;
    }
}

void tst_Outputs::wholeBoxTakesTheMouse() {
    QFETCH(QString, name);
    QFETCH(bool, dragOff);
    Connected f;
    auto *box = f.form().findChild<CheckBox *>(name);
    QVERIFY(box);
    const bool before = box->isChecked();
    // Right of the caption, where a box of the design still reacts.
    const QPoint blank(box->width() - 2, box->height() / 2);
    QTest::mousePress(box, Qt::LeftButton, {}, blank);
    QVERIFY(box->isDown());
    QTest::mouseRelease(box, Qt::LeftButton, {}, dragOff ? QPoint(box->width() + 20, -20) : blank);
    QCOMPARE(box->isChecked(), dragOff ? before : !before);
}

QTEST_MAIN(tst_Outputs)
#include "tst_outputs.moc"
