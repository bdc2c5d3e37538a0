#include "TesterFixture.h"
#include "window/Layout.h"

#include <QScreen>
#include <QtTest>

namespace {

QStringList names(const QList<QWidget *> &widgets) {
    QStringList list;
    for (const QWidget *w : widgets)
        list << w->objectName();
    return list;
}

QStringList gpiNames(const char *array) {
    QStringList list;
    for (int i = 0; i < Form1::GpiArraySize; ++i)
        list << arrayName(array, i);
    return list;
}

} // namespace

class tst_Startup : public QObject {
    Q_OBJECT

private slots:
    void gpiCountFromTitle_data();
    void gpiCountFromTitle();
    void baseCaption_data();
    void baseCaption();
    void startState();
    void controlsAsCreated();
    void gpiCaptions();
    void narrowBuildKeepsUpperGpisDisabled();
    void geometryFromTwips_data();
    void geometryFromTwips();
    void serialBlockLiesBelowClientArea();
    void fixedSizeCentredWindow();
    void tabOrder();
};

void tst_Startup::gpiCountFromTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("count");
    QTest::newRow("ZED8 build") << "VORN ZED8 Tester" << 8;
    QTest::newRow("first nine only") << "VORN ZED8" << 8;
    QTest::newRow("GPI build") << "VORN GPI Tester" << 24;
    QTest::newRow("case differs") << "VORN zed8 Tester" << 24;
    QTest::newRow("shorter than nine") << "VORN" << 24;
    QTest::newRow("leading blank") << " VORN ZED8 Tester" << 24;
}

void tst_Startup::gpiCountFromTitle() {
    QFETCH(QString, title);
    QFETCH(int, count);
    TesterFixture f(title);
    QCOMPARE(int(f.form().state.GPICount), count);
    QCOMPARE(f.log(), QStringList{"Timer resolution = 100.0ns (10.0MHz)"});
}

void tst_Startup::baseCaption_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("caption");
    const auto row = [](const char *name, const char *title, const char *version,
                        const char *caption) {
        QTest::newRow(name) << title << version << caption;
    };
    row("GPI", "VORN GPI Tester", "1.4.14", "VORN GPI Tester v1.4.14");
    row("ZED8", "VORN ZED8 Tester", "1.4.13", "VORN ZED8 Tester v1.4.13");
    row("zero revision", "VORN GPI Tester", "2.0.0", "VORN GPI Tester v2.0.0");
    row("leading zeros dropped", "T", "01.04.013", "T v1.4.13");
}

void tst_Startup::baseCaption() {
    QFETCH(QString, title);
    QFETCH(QString, version);
    QFETCH(QString, caption);
    TesterFixture f(title, version);
    QCOMPARE(f.form().BaseCaption(), caption);
    QCOMPARE(f.form().windowTitle(), caption);
}

void tst_Startup::startState() {
    TesterFixture f;
    Form1 &w = f.form();
    const TesterState &s = w.state;

    const QStringList presets{"192.168.254.102", "192.168.254.104", "192.168.254.106", "10.0.0.128",
                              "10.0.0.130",      "10.0.0.132",      "172.16.0.128"};
    QStringList items;
    for (int i = 0; i < w.Vorn_Address->count(); ++i)
        items << w.Vorn_Address->itemText(i);
    QCOMPARE(items, presets);
    QCOMPARE(w.Vorn_Address->currentText(), QStringLiteral("192.168.254.102"));
    QVERIFY(w.Vorn_Address->isEditable());
    QCOMPARE(w.Vorn_Port->text(), QStringLiteral("23"));
    QCOMPARE(f.socket.remoteHost, QStringLiteral("192.168.254.102"));
    QCOMPARE(f.socket.remotePort, 23);
    QVERIFY(f.socket.connects.isEmpty());
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(f.socket.closes, 0);

    QVERIFY(w.Timer1->isActive());
    QCOMPARE(w.Timer1->interval(), 100);
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(w.Timer2->interval(), 333);
    QCOMPARE(w.Timer1->timerType(), Qt::PreciseTimer);
    QCOMPARE(w.Timer2->timerType(), Qt::PreciseTimer);

    QCOMPARE(int(s.GPIOutByte0), 255);
    QCOMPARE(int(s.GPIOutByte1), 255);
    QCOMPARE(int(s.GPIOutByte2), 255);
    QCOMPARE(s.CounterFrequency, 1e7);
    QCOMPARE(s.CounterBuffer.low, 10000000);
    QCOMPARE(s.CounterBuffer.high, 0);

    // The one start-up line, not trimmed (nothing selected).
    QCOMPARE(f.log(), QStringList{"Timer resolution = 100.0ns (10.0MHz)"});
    QCOMPARE(w.ListBox->currentRow(), -1);
    QVERIFY(w.StatusBar->currentMessage().isEmpty());
    QVERIFY(w.Vorn_State->text().isEmpty());

    // Start-up leaves the connected layout; the first tick replaces it.
    QVERIFY(!w.Connect->isEnabled());
    for (QWidget *c :
         {static_cast<QWidget *>(w.All_Off), static_cast<QWidget *>(w.All_On),
          static_cast<QWidget *>(w.Test_All), static_cast<QWidget *>(w.Echo),
          static_cast<QWidget *>(w.GPI_Query_Inputs), static_cast<QWidget *>(w.GPI_Query_Outputs),
          static_cast<QWidget *>(w.Query_Firmware), static_cast<QWidget *>(w.sldGPIInterval)})
        QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
    QVERIFY(!w.Vorn_Address->isEnabled());
    QVERIFY(!w.Vorn_Port->isEnabled());
    QVERIFY(w.Disconnect->isEnabled());
    QVERIFY(w.Line1.visible && w.Line2.visible && w.Line3.visible);
}

void tst_Startup::controlsAsCreated() {
    TesterFixture f;
    Form1 &w = f.form();
    const QList<std::pair<QWidget *, QString>> captions = {
        {w.Vorn_Address_Label, "Vorn IP Address"},
        {w.Vorn_Port_Label, "Vorn Port"},
        {w.Vorn_State_Label, "Connection State"},
        {w.Connect, "Connect"},
        {w.Disconnect, "Disconnect"},
        {w.All_Off, "All Off"},
        {w.All_On, "All On"},
        {w.GPI_Query_Inputs, "Query In"},
        {w.GPI_Query_Outputs, "Query Out"},
        {w.Test_All, "Test All"},
        {w.Query_Firmware, "Query FW"},
        {w.Blast, "Blast"},
        {w.GPI_In_Label, "GPI Inputs"},
        {w.Echo, "Echo"},
        {w.GPI_Out_Label, "GPI Outputs"},
        {w.cmdBreakSerial, "Break-Serial"},
        {w.chkBreakSerial[0], "Port 1"},
        {w.chkBreakSerial[1], "Port 2"},
        {w.chkBreakSerial[2], "Port 3"},
        {w.chkBreakSerial[3], "Port 4"},
        {w.cmdSendSerial, "Send Serial Message"},
        {w.cmdSendBreak, "Send Break"},
    };
    for (const auto &[widget, caption] : captions)
        QCOMPARE(widget->property("text").toString(), caption);
    QCOMPARE(w.BlastCount->text(), QStringLiteral("256"));

    // Blast is present but out of the operator's reach.
    for (QWidget *hidden :
         {static_cast<QWidget *>(w.Blast), static_cast<QWidget *>(w.BlastCount)}) {
        QVERIFY(!hidden->isEnabled());
        QVERIFY(hidden->isHidden());
    }
    QVERIFY(!w.Echo->isChecked());
    QCOMPARE(w.Echo->toolTip(), QStringLiteral("Echos GPI Input to GPI Output"));
    for (CheckBox *port : w.chkBreakSerial)
        QVERIFY(!port->isChecked());
    QCOMPARE(w.GPI_In_Label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(w.GPI_Out_Label->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

    QCOMPARE(w.sldGPIInterval->minimum(), 1);
    QCOMPARE(w.sldGPIInterval->maximum(), 1000);
    QCOMPARE(w.sldGPIInterval->value(), 333);
    QCOMPARE(w.sldGPIInterval->singleStep(), 1);
    QCOMPARE(w.sldGPIInterval->pageStep(), 16);
    QCOMPARE(w.sldGPIInterval->tickInterval(), 16);
    QVERIFY(w.sldGPIInterval->tickPosition() != QSlider::NoTicks);
    QCOMPARE(w.sldGPIInterval->orientation(), Qt::Horizontal);

    // Exactly the controls of the design, each once, all on the form.
    QCOMPARE(int(layoutTable().size()), 29 + 48);
    for (const LayoutEntry &row : layoutTable())
        QCOMPARE(int(w.findChildren<QWidget *>(row.name, Qt::FindDirectChildrenOnly).size()), 1);
}

void tst_Startup::gpiCaptions() {
    TesterFixture f(QStringLiteral("VORN ZED8 Tester"), QStringLiteral("1.4.13"));
    Form1 &w = f.form();
    // All 24, whatever the build drives.
    for (int i = 0; i < Form1::GpiArraySize; ++i) {
        const QString caption = QStringLiteral(" %1 (Pin %2)").arg(i + 1).arg(i + 2);
        QCOMPARE(w.GPI_In[i]->text(), caption);
        QCOMPARE(w.GPI_Out[i]->text(), caption);
    }
}

void tst_Startup::narrowBuildKeepsUpperGpisDisabled() {
    TesterFixture f(QStringLiteral("VORN ZED8 Tester"), QStringLiteral("1.4.13"));
    Form1 &w = f.form();
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < Form1::GpiArraySize; ++i) {
            QCOMPARE(w.GPI_In[i]->isEnabled(), i < 8);
            QCOMPARE(w.GPI_Out[i]->isEnabled(), i < 8);
        }
        // Through a disconnect and a connect, the upper ones never move.
        f.disconnectNow();
        for (int i = 0; i < Form1::GpiArraySize; ++i)
            QVERIFY(!w.GPI_Out[i]->isEnabled() && !w.GPI_In[i]->isEnabled());
        f.connectNow();
    }
}

void tst_Startup::geometryFromTwips_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // Twips / 15, worked out by hand from the design table.
    QTest::newRow("address label") << "Vorn_Address_Label" << QRect(8, 8, 89, 17);
    QTest::newRow("address") << "Vorn_Address" << QRect(96, 8, 113, 22);
    QTest::newRow("port label") << "Vorn_Port_Label" << QRect(8, 32, 89, 17);
    QTest::newRow("port") << "Vorn_Port" << QRect(96, 32, 97, 19);
    QTest::newRow("state label") << "Vorn_State_Label" << QRect(8, 56, 89, 17);
    QTest::newRow("state") << "Vorn_State" << QRect(96, 56, 97, 19);
    QTest::newRow("connect") << "Connect" << QRect(216, 8, 65, 25);
    QTest::newRow("disconnect") << "Disconnect" << QRect(216, 40, 65, 25);
    QTest::newRow("all off") << "All_Off" << QRect(288, 8, 41, 25);
    QTest::newRow("all on") << "All_On" << QRect(288, 40, 41, 25);
    QTest::newRow("query in") << "GPI_Query_Inputs" << QRect(336, 8, 65, 25);
    QTest::newRow("query out") << "GPI_Query_Outputs" << QRect(336, 40, 65, 25);
    QTest::newRow("test all") << "Test_All" << QRect(408, 8, 65, 25);
    QTest::newRow("query fw") << "Query_Firmware" << QRect(408, 40, 65, 25);
    QTest::newRow("blast count") << "BlastCount" << QRect(336, 72, 65, 19);
    QTest::newRow("blast") << "Blast" << QRect(408, 72, 65, 25);
    QTest::newRow("inputs label") << "GPI_In_Label" << QRect(8, 88, 233, 25);
    QTest::newRow("echo") << "Echo" << QRect(216, 88, 49, 14);
    QTest::newRow("outputs label") << "GPI_Out_Label" << QRect(248, 88, 233, 25);
    QTest::newRow("log") << "ListBox" << QRect(8, 248, 481, 184);
    QTest::newRow("slider") << "sldGPIInterval" << QRect(16, 440, 473, 33);
    QTest::newRow("status bar") << "StatusBar" << QRect(0, 440, 496, 17);
    QTest::newRow("break serial") << "cmdBreakSerial" << QRect(16, 480, 121, 25);
    QTest::newRow("port 1") << "chkBreakSerial(0)" << QRect(344, 480, 57, 14);
    QTest::newRow("port 4") << "chkBreakSerial(3)" << QRect(344, 528, 57, 14);
    QTest::newRow("send serial") << "cmdSendSerial" << QRect(408, 480, 73, 33);
    QTest::newRow("send break") << "cmdSendBreak" << QRect(408, 520, 73, 25);
    // Column = index div 8, row = index mod 8; the first three inputs are 4 px taller.
    for (int i = 0; i < Form1::GpiArraySize; ++i) {
        const int x = 8 + 80 * (i / 8);
        const int y = 112 + 16 * (i % 8);
        QTest::addRow("GPI_In(%d)", i)
            << arrayName("GPI_In", i) << QRect(x, y, 81, i < 3 ? 21 : 17);
        QTest::addRow("GPI_Out(%d)", i) << arrayName("GPI_Out", i) << QRect(x + 240, y, 81, 17);
    }
}

void tst_Startup::geometryFromTwips() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    TesterFixture f;
    auto *widget = f.form().findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
}

void tst_Startup::serialBlockLiesBelowClientArea() {
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (QWidget *c :
         {static_cast<QWidget *>(w.cmdBreakSerial), static_cast<QWidget *>(w.cmdSendSerial),
          static_cast<QWidget *>(w.cmdSendBreak), static_cast<QWidget *>(w.chkBreakSerial[0]),
          static_cast<QWidget *>(w.chkBreakSerial[3])}) {
        QVERIFY2(!w.rect().intersects(c->geometry()), qPrintable(c->objectName()));
        QVERIFY(c->visibleRegion().isEmpty());
    }
    // The slider starts in the status bar's band and runs below the client area.
    QVERIFY(w.sldGPIInterval->geometry().bottom() >= w.height());
}

void tst_Startup::fixedSizeCentredWindow() {
    TesterFixture f;
    Form1 &w = f.form();
    QCOMPARE(w.minimumSize(), QSize(496, 457));
    QCOMPARE(w.maximumSize(), QSize(496, 457));
    const Qt::WindowFlags flags = w.windowFlags();
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(flags & Qt::WindowTitleHint);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(800, 600);
    QCOMPARE(w.size(), QSize(496, 457));
    const QRect screen = w.screen()->availableGeometry();
    const QPoint offset = w.frameGeometry().center() - screen.center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1,
             qPrintable(QStringLiteral("off centre by %1,%2").arg(offset.x()).arg(offset.y())));
}

void tst_Startup::tabOrder() {
    TesterFixture f;
    Form1 &w = f.form();
    // Walk the focus chain from Disconnect and keep the controls that Tab stops at.
    QList<QWidget *> stops;
    QWidget *widget = w.Disconnect;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->parentWidget() == &w)
            stops << widget;
        widget = widget->nextInFocusChain();
    } while (widget != w.Disconnect);

    QStringList expected{"Disconnect"};
    expected << gpiNames("GPI_Out");
    expected << QStringList{"Vorn_Port",         "Vorn_State",
                            "All_Off",           "All_On",
                            "Test_All",          "Connect",
                            "ListBox",           "GPI_Query_Inputs",
                            "Vorn_Address",      "Echo",
                            "sldGPIInterval",    "cmdSendBreak",
                            "cmdSendSerial",     "chkBreakSerial(0)",
                            "chkBreakSerial(1)", "chkBreakSerial(2)",
                            "chkBreakSerial(3)", "Blast",
                            "BlastCount",        "GPI_Query_Outputs",
                            "Query_Firmware",    "cmdBreakSerial"};
    QCOMPARE(names(stops), expected);
    // The input indicators are no tab stops.
    for (CheckBox *in : w.GPI_In)
        QVERIFY(!(in->focusPolicy() & Qt::TabFocus));

    // And the keyboard goes that way.
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.Disconnect->setFocus();
    QTest::keyClick(w.Disconnect, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.GPI_Out[0]);
    QTest::keyClick(w.GPI_Out[0], Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), w.GPI_Out[1]);
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
