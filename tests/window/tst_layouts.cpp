#include "TesterFixture.h"
#include "window/Layout.h"

#include <QtTest>

namespace {

// Records, in order, every change of a named control's enabled state and every toggle of a
// GPI box, as "Name on" / "Name off" and "Name checked" / "Name unchecked".
class ChangeRecorder : public QObject {
public:
    explicit ChangeRecorder(Form1 &form) : m_form(form) {
        for (const LayoutEntry &row : layoutTable())
            m_names.insert(row.name);
        qApp->installEventFilter(this);
        for (auto *array : {&form.GPI_In, &form.GPI_Out})
            for (CheckBox *box : *array)
                connect(box, &QAbstractButton::toggled, this, [this, box](bool checked) {
                    changes << box->objectName() + (checked ? " checked" : " unchecked");
                });
    }
    ~ChangeRecorder() override { qApp->removeEventFilter(this); }

    QStringList changes;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::EnabledChange && m_names.contains(watched->objectName()) &&
            watched->parent() == &m_form) {
            auto *widget = static_cast<QWidget *>(watched);
            changes << widget->objectName() + (widget->isEnabled() ? " on" : " off");
        }
        return false;
    }

private:
    Form1 &m_form;
    QSet<QString> m_names;
};

QStringList perGpi(int count, bool enabled, const QStringList &uncheckedIn = {},
                   const QStringList &uncheckedOut = {}) {
    const char *word = enabled ? " on" : " off";
    QStringList list;
    for (int k = 0; k < count; ++k) {
        const QString in = arrayName("GPI_In", k);
        const QString out = arrayName("GPI_Out", k);
        list << in + word << out + word;
        if (uncheckedIn.contains(in))
            list << in + " unchecked";
        if (uncheckedOut.contains(out))
            list << out + " unchecked";
    }
    return list;
}

} // namespace

class tst_Layouts : public QObject {
    Q_OBJECT

private slots:
    void disconnectStepOrder();
    void connectStepOrder();
    void secondCallChangesNothing_data();
    void secondCallChangesNothing();
    void echoClearedInsideStepFour_data();
    void echoClearedInsideStepFour();
    void disconnectWithEchoAndOutputsOnSendsNothing();
    void connectWithAnOutputStillOnSendsOnce();
    void untouchedControls();
    void arrowFollowsLayout();
};

void tst_Layouts::disconnectStepOrder() {
    TesterFixture f;
    Form1 &w = f.form();
    // From the start-up (connected) layout with an output and an input on.
    w.GPI_Out[1]->setChecked(true);
    w.GPI_In[2]->setChecked(true);
    w.Test_All->setText(QStringLiteral("STOP"));
    f.socket.sent.clear();

    ChangeRecorder recorder(w);
    w.SetConnectedControls(false);

    QStringList expected{"Connect on",
                         "All_Off off",
                         "All_On off",
                         "Test_All off",
                         "Echo off",
                         "GPI_Query_Inputs off",
                         "GPI_Query_Outputs off",
                         "Query_Firmware off",
                         "Vorn_Address on",
                         "Vorn_Port on"};
    expected << perGpi(24, false, {"GPI_In(2)"}, {"GPI_Out(1)"});
    expected << "sldGPIInterval off";
    QCOMPARE(recorder.changes, expected);
    QCOMPARE(w.Test_All->text(), QStringLiteral("Test All"));
    QVERIFY(f.socket.sent.isEmpty());
}

void tst_Layouts::connectStepOrder() {
    TesterFixture f(QStringLiteral("VORN ZED8 Tester"), QStringLiteral("1.4.13"));
    Form1 &w = f.form();
    w.SetConnectedControls(false);
    ChangeRecorder recorder(w);
    w.SetConnectedControls(true);
    QStringList expected{"Connect off",          "All_Off on",        "All_On on",
                         "Test_All on",          "Echo on",           "GPI_Query_Inputs on",
                         "GPI_Query_Outputs on", "Query_Firmware on", "Vorn_Address off",
                         "Vorn_Port off"};
    // Only the eight GPIs this build drives.
    expected << perGpi(8, true);
    expected << "sldGPIInterval on";
    QCOMPARE(recorder.changes, expected);
}

void tst_Layouts::secondCallChangesNothing_data() {
    QTest::addColumn<bool>("connected");
    QTest::newRow("connected") << true;
    QTest::newRow("disconnected") << false;
}

void tst_Layouts::secondCallChangesNothing() {
    QFETCH(bool, connected);
    TesterFixture f;
    Form1 &w = f.form();
    f.socket.setState(DeviceSocket::Connected);
    w.SetConnectedControls(connected);
    const QString caption = w.Test_All->text();
    ChangeRecorder recorder(w);
    w.SetConnectedControls(connected);
    QVERIFY(recorder.changes.isEmpty());
    QCOMPARE(w.Test_All->text(), caption);
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(w.Line1.visible, connected);
}

void tst_Layouts::echoClearedInsideStepFour_data() {
    QTest::addColumn<bool>("connected");
    QTest::newRow("to connected") << true;
    QTest::newRow("to disconnected") << false;
}

void tst_Layouts::echoClearedInsideStepFour() {
    QFETCH(bool, connected);
    TesterFixture f;
    Form1 &w = f.form();
    w.SetConnectedControls(!connected);
    w.Echo->setEnabled(true);
    w.Echo->setChecked(true);
    w.All_On->setEnabled(false);
    w.All_Off->setEnabled(false);
    w.Test_All->setEnabled(false);
    w.Test_All->setText(QStringLiteral("STOP"));

    struct Seen {
        bool connectEnabled, echoEnabled, lineVisible, queryEnabled, addressEnabled;
        QString testAllCaption;
    };
    QList<Seen> seen;
    connect(w.Echo, &QAbstractButton::toggled, w.Echo, [&] {
        seen.append({w.Connect->isEnabled(), w.Echo->isEnabled(), w.Line1.visible,
                     w.GPI_Query_Inputs->isEnabled(), w.Vorn_Address->isEnabled(),
                     w.Test_All->text()});
    });
    w.SetConnectedControls(connected);

    QCOMPARE(seen.size(), 1);
    // Steps 1 to 3 and the first half of 4 are done; 5 to 7 are still ahead.
    QCOMPARE(seen[0].connectEnabled, !connected);
    QCOMPARE(seen[0].testAllCaption, QStringLiteral("Test All"));
    QCOMPARE(seen[0].echoEnabled, connected);
    QCOMPARE(seen[0].lineVisible, !connected);
    QCOMPARE(seen[0].queryEnabled, !connected);
    QCOMPARE(seen[0].addressEnabled, connected);
    QVERIFY(!w.Echo->isChecked());

    // Whatever the Echo handler unlocked, the layout ends as the argument says.
    QCOMPARE(w.All_On->isEnabled(), connected);
    QCOMPARE(w.All_Off->isEnabled(), connected);
    QCOMPARE(w.Test_All->isEnabled(), connected);
    for (int k = 0; k < 24; ++k)
        QCOMPARE(w.GPI_Out[k]->isEnabled(), connected);
}

void tst_Layouts::disconnectWithEchoAndOutputsOnSendsNothing() {
    TesterFixture f;
    Form1 &w = f.form();
    f.connectNow();
    for (int k : {0, 9, 23}) {
        w.GPI_Out[k]->setChecked(true);
        w.GPI_In[k]->setChecked(true);
    }
    w.Echo->setChecked(true);
    f.socket.sent.clear();
    // The device closed; the operator disconnects; the link timer sees Closed.
    f.socket.setState(DeviceSocket::Closed);
    f.tester->linkStatus().Timer1_Timer();

    QVERIFY(f.socket.sent.isEmpty());
    QVERIFY(!w.Echo->isChecked());
    QVERIFY(!w.Echo->isEnabled());
    for (int k = 0; k < 24; ++k) {
        QVERIFY(!w.GPI_Out[k]->isChecked() && !w.GPI_Out[k]->isEnabled());
        QVERIFY(!w.GPI_In[k]->isChecked() && !w.GPI_In[k]->isEnabled());
    }
    QCOMPARE(int(w.state.GPIOutByte0), 255);
    QCOMPARE(int(w.state.GPIOutByte1), 255);
    QCOMPARE(int(w.state.GPIOutByte2), 255);
    QVERIFY(!w.All_On->isEnabled());
    QVERIFY(!w.All_Off->isEnabled());
    QVERIFY(!w.Test_All->isEnabled());
    QVERIFY(w.Connect->isEnabled());
}

void tst_Layouts::connectWithAnOutputStillOnSendsOnce() {
    TesterFixture f;
    Form1 &w = f.form();
    f.disconnectNow();
    // An output left on while the layout was disconnected (its box disabled).
    w.GPI_Out[3]->setChecked(true);
    QCOMPARE(int(w.state.GPIOutByte0), 255 & ~(1 << 3));
    f.socket.sent.clear();
    f.connectNow();
    QVERIFY(!w.GPI_Out[3]->isChecked());
    QCOMPARE(int(w.state.GPIOutByte0), 255);
    // The handler found its box enabled and sent the new output state.
    QCOMPARE(f.socket.sent.size(), 1);
}

void tst_Layouts::untouchedControls() {
    TesterFixture f;
    Form1 &w = f.form();
    w.chkBreakSerial[2]->setChecked(true);
    w.StatusBar->showMessage(QStringLiteral("status"));
    w.Vorn_State->setText(QStringLiteral("state"));
    w.Disconnect->setEnabled(true);
    for (bool connected : {false, true, false}) {
        w.SetConnectedControls(connected);
        QVERIFY(w.Disconnect->isEnabled());
        QVERIFY(w.chkBreakSerial[2]->isChecked());
        QVERIFY(w.cmdSendSerial->isEnabled());
        QVERIFY(!w.Blast->isEnabled() && w.Blast->isHidden());
        QVERIFY(!w.BlastCount->isEnabled() && w.BlastCount->isHidden());
        QCOMPARE(w.StatusBar->currentMessage(), QStringLiteral("status"));
        QCOMPARE(w.Vorn_State->text(), QStringLiteral("state"));
        QCOMPARE(w.ListBox->count(), 1);
    }
}

void tst_Layouts::arrowFollowsLayout() {
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Points on the shaft left and right of Echo, and on the upper barb.
    const QList<QPoint> arrow{{190, 96}, {280, 96}, {302, 94}};
    const QColor background = w.palette().color(QPalette::Window);
    for (bool connected : {true, false, true}) {
        w.SetConnectedControls(connected);
        const QImage image = w.grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        for (const QPoint &p : arrow) {
            const QColor pixel = image.pixelColor((QPointF(p) * ratio).toPoint());
            QCOMPARE(pixel != background, connected);
        }
        // Under the Echo box, right of its caption, the shaft is hidden.
        QCOMPARE(image.pixelColor((QPointF(262, 96) * ratio).toPoint()), background);
    }
}

QTEST_MAIN(tst_Layouts)
#include "tst_layouts.moc"
