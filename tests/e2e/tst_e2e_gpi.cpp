#include "LiveRig.h"

#include <QRegularExpression>

// Outputs, queries, what comes back and Echo, end to end. Test All over the socket is the
// soak's and the link fault tests' business.
class tst_E2eGpi : public QObject {
    Q_OBJECT

private slots:
    void buttonFrames();
    void messagesBack();
    void coalescedAnswers();
    void delayedAnswer();
    void outputStatusShowsOnButtons();
    void echoWithFollowingInputsSettles();
};

// Every button's frame reaches the device whole and in order, over one connection. Which
// bits each output sets is checked against the fake socket in the output tests; Query Out is
// left out here, as its answer sets the outputs again (see outputStatusShowsOnButtons).
void tst_E2eGpi::buttonFrames() {
    LiveRig t;
    QVERIFY(t.connectToDevice());
    Form1 &f = t.form();
    t.click(f.GPI_Query_Inputs);
    t.click(f.Query_Firmware);
    t.click(f.All_On);
    t.click(f.All_Off);
    t.clickBox(f.GPI_Out[5]);
    t.clickBox(f.GPI_Out[5]);
    t.clickBox(f.GPI_Out[23]);
    t.clickBox(f.GPI_In[3]);
    const QStringList frames{"ff 00 01",
                             "ff 00 02",
                             "ff 00 00 04 00 00 00",
                             "ff 00 00 04 ff ff ff",
                             "ff 00 00 04 df ff ff",
                             "ff 00 00 04 ff ff ff",
                             "ff 00 00 04 ff ff 7f",
                             "ff 00 01"};
    QVERIFY(t.waitForReceivedAtLeast(int(frames.size())));
    QCOMPARE(t.receivedHex(), frames);
    // Every frame came in one piece.
    QCOMPARE(t.device.stats().splitByTester, 0);
}

// One of each kind of message the tester reads, through the real socket; every other frame
// is the dispatcher tests' business.
void tst_E2eGpi::messagesBack() {
    LiveRig t;
    QVERIFY(t.connectToDevice());
    const struct {
        const char *hex, *logEnd, *status;
    } messages[] = {
        {"ff000004feffff", " GPI Input", "Received GPI Input message"},
        {"ff0000004142", " Serial Port 1 Input", "Received Serial Port 1 Input message"},
        // The ID line ends in its response time.
        {"ff0000050502", " Firmware v2.05 (", "Received ID Response"},
    };
    for (const auto &message : messages) {
        const QString logEnd = QString::fromLatin1(message.logEnd);
        QVERIFY(t.device.sendRaw(QByteArray::fromHex(message.hex)));
        QTRY_VERIFY_WITH_TIMEOUT(t.lastLog().contains(logEnd), LiveRig::Patience);
        QCOMPARE(t.form().StatusBar->currentMessage(), QString::fromLatin1(message.status));
    }
    // Still connected and answering.
    QVERIFY(t.queryInWorks());
}

void tst_E2eGpi::coalescedAnswers() {
    LiveRig t;
    QVERIFY(t.connectToDevice());
    t.device.coalesceNextTwo();
    t.click(t.form().GPI_Query_Inputs);
    t.click(t.form().GPI_Query_Outputs);
    // One arrival holding both answers: only the first is read.
    QVERIFY(t.waitForLogEnding(QStringLiteral(" GPI Input")));
    t.click(t.form().Query_Firmware);
    QTRY_VERIFY_WITH_TIMEOUT(t.lastLog().contains(QStringLiteral(" Firmware v2.05 ")),
                             LiveRig::Patience);
    QCOMPARE(t.countLogEnding(QStringLiteral(" GPI Input")), 1);
    QCOMPARE(t.countLogEnding(QStringLiteral(" GPI Output")), 0);
    QCOMPARE(t.device.writes().first(), QByteArray::fromHex("ff000004ffffff ff000006ffffff"));
}

void tst_E2eGpi::delayedAnswer() {
    LiveRig t;
    QVERIFY(t.connectToDevice());
    t.device.setAnswerDelay(200);
    t.click(t.form().Query_Firmware);
    QTRY_VERIFY_WITH_TIMEOUT(t.lastLog().contains(QStringLiteral(" Firmware v2.05 ")),
                             LiveRig::Patience);
    // The response time shown is at least the delay.
    const auto match = QRegularExpression(QStringLiteral(R"(\((\d+\.\d)mS\)$)")).match(t.lastLog());
    QVERIFY2(match.hasMatch(), qPrintable(t.lastLog()));
    QVERIFY2(match.captured(1).toDouble() >= 195.0, qPrintable(t.lastLog()));
}

void tst_E2eGpi::outputStatusShowsOnButtons() {
    LiveRig t;
    QVERIFY(t.connectToDevice());
    // A report the device sends on its own shows on the buttons and switches nothing.
    QVERIFY(t.device.sendRaw(QByteArray::fromHex("ff000006fefbff")));
    QVERIFY(t.waitForLogEnding(QStringLiteral(" GPI Output")));
    for (int i = 0; i < 24; ++i)
        QCOMPARE(t.form().GPI_Out[i]->isChecked(), i == 0 || i == 10);
    QVERIFY(t.queryInWorks());
    QCOMPARE(t.receivedHex(), QStringList{"ff 00 01"});
    QCOMPARE(t.device.outputs(), sim::AllOff);

    // The next click sends the reported bytes with its own change.
    t.clickBox(t.form().GPI_Out[5]);
    QTRY_COMPARE_WITH_TIMEOUT(t.device.outputs(), sim::GpiBits(0xFFFBDE), LiveRig::Patience);

    // Query Out reads the device's outputs back onto the buttons, again without a frame back.
    t.click(t.form().All_Off);
    QTRY_COMPARE_WITH_TIMEOUT(t.device.outputs(), sim::AllOff, LiveRig::Patience);
    const int frames = int(t.device.received().size());
    t.click(t.form().GPI_Query_Outputs);
    QTRY_COMPARE_WITH_TIMEOUT(t.countLogEnding(QStringLiteral(" GPI Output")), 2,
                              LiveRig::Patience);
    for (int i = 0; i < 24; ++i)
        QVERIFY(!t.form().GPI_Out[i]->isChecked());
    QVERIFY(t.queryInWorks());
    QCOMPARE(t.receivedHex().mid(frames), (QStringList{"ff 00 05", "ff 00 01"}));
}

void tst_E2eGpi::echoWithFollowingInputsSettles() {
    LiveRig t;
    t.device.setFollowOutputs(true);
    QVERIFY(t.connectToDevice());
    t.clickBox(t.form().GPI_Out[2]);
    // Output 2 lights input 2.
    QTRY_VERIFY_WITH_TIMEOUT(t.form().GPI_In[2]->isChecked(), LiveRig::Patience);
    t.clickBox(t.form().Echo);
    t.device.setInputs(0xFFFF0F);
    QTRY_COMPARE_WITH_TIMEOUT(t.device.outputs(), sim::GpiBits(0xFFFF0F), LiveRig::Patience);
    // The echo set the outputs to what the inputs already were: no further report, no loop.
    QVERIFY(t.queryInWorks());
    QVERIFY(t.queryInWorks());
    const QMap<QString, int> sent = t.device.stats().framesSent;
    QCOMPARE(sent.value(QStringLiteral("GPI input message")), 4);
}

QTEST_MAIN(tst_E2eGpi)
#include "tst_e2e_gpi.moc"
