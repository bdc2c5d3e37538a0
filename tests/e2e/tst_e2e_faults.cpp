#include "LiveTester.h"

#include <QRegularExpression>

// Each fault the device can inject, and how the tester copes: a clear log line, nothing
// lost that the protocol keeps, no hang, and the link still usable afterwards.
class tst_E2eFaults : public QObject {
    Q_OBJECT

private slots:
    void coalescedAnswers();
    void delayedAnswer();
    void closeOnConnect();
};

void tst_E2eFaults::coalescedAnswers() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    t.device.coalesceNextTwo();
    t.click(t.form().GPI_Query_Inputs);
    t.click(t.form().GPI_Query_Outputs);
    // One arrival holding both answers: only the first is read.
    QVERIFY(t.waitForLogEnding(QStringLiteral(" GPI Input")));
    t.click(t.form().Query_Firmware);
    QTRY_VERIFY_WITH_TIMEOUT(t.lastLog().contains(QStringLiteral(" Firmware v2.05 ")),
                             LiveTester::Patience);
    QCOMPARE(t.countLogEnding(QStringLiteral(" GPI Input")), 1);
    QCOMPARE(t.countLogEnding(QStringLiteral(" GPI Output")), 0);
    QCOMPARE(t.device.writes().first(), QByteArray::fromHex("ff000004ffffff ff000006ffffff"));
}

void tst_E2eFaults::delayedAnswer() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    t.device.setAnswerDelay(200);
    t.click(t.form().Query_Firmware);
    QTRY_VERIFY_WITH_TIMEOUT(t.lastLog().contains(QStringLiteral(" Firmware v2.05 ")),
                             LiveTester::Patience);
    // The response time shown is at least the delay.
    const auto match = QRegularExpression(QStringLiteral(R"(\((\d+\.\d)mS\)$)")).match(t.lastLog());
    QVERIFY2(match.hasMatch(), qPrintable(t.lastLog()));
    QVERIFY2(match.captured(1).toDouble() >= 195.0, qPrintable(t.lastLog()));
}

void tst_E2eFaults::closeOnConnect() {
    LiveTester t;
    connect(&t.device, &sim::SimulatedDevice::connected, &t.device,
            [&] { t.device.closeConnection(); });
    t.clickConnect(t.device.serverPort());
    QTRY_COMPARE_WITH_TIMEOUT(t.form().Vorn_State->text(),
                              QStringLiteral("Peer is closing connection"), LiveTester::Patience);
    QCOMPARE(t.device.connectionCount(), 1);
}

QTEST_MAIN(tst_E2eFaults)
#include "tst_e2e_faults.moc"
