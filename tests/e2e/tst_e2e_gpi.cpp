#include "BuildRows.h"
#include "LiveTester.h"

#include <QRegularExpression>

// Outputs, queries, what comes back, Echo and Test All, end to end.
class tst_E2eGpi : public QObject {
    Q_OBJECT

private slots:
    void buttonFrames_data();
    void buttonFrames();
    void messagesBack_data();
    void messagesBack();
    void firmwareCaptionAndResponseTime();
    void outputStatusShowsOnButtons();
    void indicatorsFollowDeviceInputs();
    void echoMirrorsInputsToOutputs();
    void echoWithFollowingInputsSettles();
    void testAllLap_data();
    void testAllLap();
};

void tst_E2eGpi::buttonFrames_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("frames");
    const QString gpi = QStringLiteral("VORN GPI Tester");
    const QString zed8 = QStringLiteral("VORN ZED8 Tester");
    QTest::newRow("Query In") << gpi << "Query In" << QStringList{"ff 00 01"};
    QTest::newRow("Query Out") << gpi << "Query Out" << QStringList{"ff 00 05"};
    QTest::newRow("Query FW") << gpi << "Query FW" << QStringList{"ff 00 02"};
    QTest::newRow("All On") << gpi << "All On" << QStringList{"ff 00 00 04 00 00 00"};
    QTest::newRow("All On, 8 GPIs: all 24 bits")
        << zed8 << "All On" << QStringList{"ff 00 00 04 00 00 00"};
    QTest::newRow("All On, then All Off")
        << gpi << "All On, All Off" << QStringList{"ff 00 00 04 00 00 00", "ff 00 00 04 ff ff ff"};
    QTest::newRow("output 5 on and off")
        << gpi << "output 5 twice" << QStringList{"ff 00 00 04 df ff ff", "ff 00 00 04 ff ff ff"};
    QTest::newRow("output 12 on") << gpi << "output 12" << QStringList{"ff 00 00 04 ff ef ff"};
    QTest::newRow("output 23 on") << gpi << "output 23" << QStringList{"ff 00 00 04 ff ff 7f"};
    QTest::newRow("input indicator click queries") << gpi << "input 3" << QStringList{"ff 00 01"};
}

void tst_E2eGpi::buttonFrames() {
    QFETCH(QString, title);
    QFETCH(QString, action);
    QFETCH(QStringList, frames);
    LiveTester t(title);
    QVERIFY(t.connectToDevice());
    Form1 &f = t.form();
    if (action == QLatin1String("Query In"))
        t.click(f.GPI_Query_Inputs);
    else if (action == QLatin1String("Query Out"))
        t.click(f.GPI_Query_Outputs);
    else if (action == QLatin1String("Query FW"))
        t.click(f.Query_Firmware);
    else if (action == QLatin1String("All On"))
        t.click(f.All_On);
    else if (action == QLatin1String("All On, All Off")) {
        t.click(f.All_On);
        t.click(f.All_Off);
    } else if (action == QLatin1String("output 5 twice")) {
        t.clickBox(f.GPI_Out[5]);
        t.clickBox(f.GPI_Out[5]);
    } else if (action == QLatin1String("output 12"))
        t.clickBox(f.GPI_Out[12]);
    else if (action == QLatin1String("output 23"))
        t.clickBox(f.GPI_Out[23]);
    else if (action == QLatin1String("input 3"))
        t.clickBox(f.GPI_In[3]);
    QVERIFY(t.waitForReceived(int(frames.size())));
    QCOMPARE(t.receivedHex(), frames);
    // Every frame came in one piece.
    QCOMPARE(t.device.stats().splitByTester, 0);
}

void tst_E2eGpi::messagesBack_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QString>("logEnd");
    QTest::addColumn<QString>("status");
    QTest::newRow("GPI input") << QByteArray::fromHex("ff000004feffff") << " GPI Input"
                               << "Received GPI Input message";
    QTest::newRow("serial port 1") << QByteArray::fromHex("ff0000004142") << " Serial Port 1 Input"
                                   << "Received Serial Port 1 Input message";
    QTest::newRow("serial port 2") << QByteArray::fromHex("ff000001") << " Serial Port 2 Input"
                                   << "Received Serial Port 2 Input message";
    QTest::newRow("serial port 3") << QByteArray::fromHex("ff00000241") << " Serial Port 3 Input"
                                   << "Received Serial Port 3 Input message";
    QTest::newRow("serial port 4") << QByteArray::fromHex("ff00000341") << " Serial Port 4 Input"
                                   << "Received Serial Port 4 Input message";
    QTest::newRow("ID response") << QByteArray::fromHex("ff0000050502") << " Firmware v2.05"
                                 << "Received ID Response";
    QTest::newRow("first byte") << QByteArray::fromHex("00") << "First byte unknown"
                                << "";
    QTest::newRow("second byte") << QByteArray::fromHex("ff01") << "Second byte unknown"
                                 << "";
    QTest::newRow("a request code from the device")
        << QByteArray::fromHex("ff0002") << "Third byte unknown"
        << "";
    QTest::newRow("fourth byte") << QByteArray::fromHex("ff000007") << "Fourth byte unknown"
                                 << "";
}

void tst_E2eGpi::messagesBack() {
    QFETCH(QByteArray, frame);
    QFETCH(QString, logEnd);
    QFETCH(QString, status);
    LiveTester t;
    QVERIFY(t.connectToDevice());
    QVERIFY(t.device.sendRaw(frame));
    if (frame.startsWith(QByteArray::fromHex("ff000005"))) {
        // The ID line ends in its response time.
        QTRY_VERIFY_WITH_TIMEOUT(t.lastLog().contains(logEnd), LiveTester::Patience);
    } else {
        QVERIFY(t.waitForLogEnding(logEnd));
        QCOMPARE(t.lastLog().endsWith(logEnd), true);
    }
    if (!status.isEmpty())
        QCOMPARE(t.form().StatusBar->currentMessage(), status);
    // Still connected and answering.
    QVERIFY(t.roundTrip());
}

void tst_E2eGpi::firmwareCaptionAndResponseTime() {
    LiveTester t;
    t.device.setFirmware(3, 7);
    QVERIFY(t.connectToDevice());
    t.click(t.form().Query_Firmware);
    QTRY_COMPARE_WITH_TIMEOUT(t.form().windowTitle(),
                              QStringLiteral("VORN GPI Tester v1.4.14 (Firmware v3.07)"),
                              LiveTester::Patience);
    const QString line = t.lastLog();
    QVERIFY2(QRegularExpression(QStringLiteral(R"(^ +\d+\.\d{3} \(\d+\.\d{3}\) Firmware v3\.07 )"
                                               R"(\(\d+\.\dmS\)$)"))
                 .match(line)
                 .hasMatch(),
             qPrintable(line));
    QCOMPARE(t.log().at(t.log().size() - 2), QStringLiteral("Firmware Version Request"));
    t.clickDisconnect();
    QTRY_COMPARE_WITH_TIMEOUT(t.form().windowTitle(), QStringLiteral("VORN GPI Tester v1.4.14"),
                              LiveTester::Patience);
}

void tst_E2eGpi::outputStatusShowsOnButtons() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    // The device's outputs change behind the tester's back (another tester, a restart).
    QVERIFY(t.device.sendRaw(QByteArray::fromHex("ff000006fefbff")));
    QVERIFY(t.waitForLogEnding(QStringLiteral(" GPI Output")));
    for (int i = 0; i < 24; ++i)
        QCOMPARE(t.form().GPI_Out[i]->isChecked(), i == 0 || i == 10);
    // The buttons' handlers ran and brought the output bytes, and so the device, into line.
    QTRY_COMPARE_WITH_TIMEOUT(t.device.outputs(), sim::GpiBits(0xFFFBFE), LiveTester::Patience);

    // Query Out reads the device's outputs back onto the buttons.
    t.click(t.form().All_Off);
    QTRY_COMPARE_WITH_TIMEOUT(t.device.outputs(), sim::AllOff, LiveTester::Patience);
    t.click(t.form().GPI_Query_Outputs);
    QTRY_COMPARE_WITH_TIMEOUT(t.countLogEnding(QStringLiteral(" GPI Output")), 2,
                              LiveTester::Patience);
    for (int i = 0; i < 24; ++i)
        QVERIFY(!t.form().GPI_Out[i]->isChecked());
}

void tst_E2eGpi::indicatorsFollowDeviceInputs() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    // One change, one report: two reports sent back to back may arrive as one, and the
    // tester reads only the first frame of an arrival.
    t.device.setInputs(0x7FFFFE);
    QTRY_VERIFY_WITH_TIMEOUT(t.form().GPI_In[0]->isChecked() && t.form().GPI_In[23]->isChecked(),
                             LiveTester::Patience);
    QVERIFY(t.roundTrip());
    for (int i = 1; i < 23; ++i)
        QVERIFY(!t.form().GPI_In[i]->isChecked());
    // A click on an indicator keeps what it shows and asks the device again.
    t.clickBox(t.form().GPI_In[0]);
    QVERIFY(t.form().GPI_In[0]->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(t.device.received().last().bytes, QByteArray::fromHex("ff0001"),
                              LiveTester::Patience);
}

void tst_E2eGpi::echoMirrorsInputsToOutputs() {
    LiveTester t;
    QVERIFY(t.connectToDevice());
    t.clickBox(t.form().Echo);
    QVERIFY(t.form().Echo->isChecked());
    QVERIFY(!t.form().All_On->isEnabled());
    // A walking input: each report comes back as the outputs.
    QList<sim::GpiBits> outputs;
    connect(&t.device, &sim::SimulatedDevice::outputsChanged, this,
            [&](sim::GpiBits bits) { outputs << bits; });
    t.device.setWalkCount(4);
    t.device.setWalkPeriod(20);
    QTRY_VERIFY_WITH_TIMEOUT(outputs.size() >= 5, LiveTester::Patience);
    t.device.setWalkPeriod(0);
    QCOMPARE(outputs.mid(0, 5),
             (QList<sim::GpiBits>{0xFFFFFE, 0xFFFFFD, 0xFFFFFB, 0xFFFFF7, 0xFFFFFE}));
    QVERIFY(t.roundTrip());
    QCOMPARE(t.device.outputs(), t.device.inputs());

    // Without Echo, input reports leave the outputs alone.
    t.clickBox(t.form().Echo);
    QVERIFY(!t.form().Echo->isChecked());
    const sim::GpiBits before = t.device.outputs();
    t.device.setInputs(0);
    QTRY_VERIFY_WITH_TIMEOUT(t.form().GPI_In[23]->isChecked(), LiveTester::Patience);
    QVERIFY(t.roundTrip());
    QCOMPARE(t.device.outputs(), before);
}

void tst_E2eGpi::echoWithFollowingInputsSettles() {
    LiveTester t;
    t.device.setFollowOutputs(true);
    QVERIFY(t.connectToDevice());
    t.clickBox(t.form().GPI_Out[2]);
    // Output 2 lights input 2.
    QTRY_VERIFY_WITH_TIMEOUT(t.form().GPI_In[2]->isChecked(), LiveTester::Patience);
    t.clickBox(t.form().Echo);
    t.device.setInputs(0xFFFF0F);
    QTRY_COMPARE_WITH_TIMEOUT(t.device.outputs(), sim::GpiBits(0xFFFF0F), LiveTester::Patience);
    // The echo set the outputs to what the inputs already were: no further report, no loop.
    QVERIFY(t.roundTrip());
    QVERIFY(t.roundTrip());
    const QMap<QString, int> sent = t.device.stats().framesSent;
    QCOMPARE(sent.value(QStringLiteral("GPI input message")), 4);
}

void tst_E2eGpi::testAllLap_data() {
    addBuildRows();
}

void tst_E2eGpi::testAllLap() {
    QFETCH(QString, title);
    QFETCH(int, gpis);
    LiveTester t(title);
    QVERIFY(t.connectToDevice());
    t.form().sldGPIInterval->setValue(5);
    t.click(t.form().Test_All);
    QCOMPARE(t.form().Test_All->text(), QStringLiteral("STOP"));
    // The start, one whole lap and the first step of the next.
    QVERIFY(t.waitForReceived(gpis + 2));
    t.click(t.form().Test_All);
    QCOMPARE(t.form().Test_All->text(), QStringLiteral("Test All"));

    QStringList expected{QStringLiteral("ff 00 00 04 ff ff ff")};
    for (int i = 0; i <= gpis; ++i) {
        const quint32 bits = 0xFFFFFFu & ~(1u << (i % gpis));
        // A set-outputs message has the layout of an input message.
        expected << QString::fromLatin1(sim::gpiInputMessage(bits).toHex(' '));
    }
    QTRY_COMPARE_WITH_TIMEOUT(t.device.received().last().bytes.toHex(' '),
                              QByteArray("ff 00 00 04 ff ff ff"), LiveTester::Patience);
    const QStringList frames = t.receivedHex();
    QCOMPARE(frames.mid(0, gpis + 2), expected);
    QCOMPARE(t.device.outputs(), sim::AllOff);
}

QTEST_MAIN(tst_E2eGpi)
#include "tst_e2e_gpi.moc"
