#include "TesterFixture.h"

#include <QtTest>

namespace {

const QColor White(255, 255, 255);
const QColor Yellow(255, 255, 0);
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);

} // namespace

class tst_LinkStatus : public QObject {
    Q_OBJECT

private slots:
    void stateTable_data();
    void stateTable();
    void stateBoxIsPaintedInItsColour();
    void firstTickAppliesDisconnectedLayoutOnce();
    void layoutSwitchesOnEdgesOnly();
    void passingStatesDoNotSwitch();
    void ticksSaturateAt15();
    void connectingKeepsIdleOriginFresh();
    void idleText_data();
    void idleText();
    void statusTextAges_data();
    void statusTextAges();
};

void tst_LinkStatus::stateTable_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QColor>("background");
    QTest::newRow("0") << 0 << "Closed" << White;
    QTest::newRow("1") << 1 << "Open" << Yellow;
    QTest::newRow("2") << 2 << "Listening" << Yellow;
    QTest::newRow("3") << 3 << "Connection Pending" << Yellow;
    QTest::newRow("4") << 4 << "Resolving Host" << Yellow;
    QTest::newRow("5") << 5 << "Host Resolved" << Yellow;
    QTest::newRow("6") << 6 << "Connecting" << Yellow;
    QTest::newRow("7") << 7 << "Connected 1042" << Green;
    QTest::newRow("8") << 8 << "Peer is closing connection" << Red;
    QTest::newRow("9") << 9 << "Error" << Red;
    QTest::newRow("10") << 10 << "Unknown State" << Red;
    QTest::newRow("-1") << -1 << "Unknown State" << Red;
}

void tst_LinkStatus::stateTable() {
    QFETCH(int, state);
    QFETCH(QString, text);
    QFETCH(QColor, background);
    TesterFixture f;
    Form1 &w = f.form();
    // Whatever the box showed before, each tick writes all three.
    QPalette odd = w.Vorn_State->palette();
    odd.setColor(QPalette::Text, Qt::blue);
    odd.setColor(QPalette::Base, Qt::magenta);
    w.Vorn_State->setPalette(odd);
    w.state.LastArrivalTime = double(f.clock.counter);
    f.socket.setState(qint16(state));
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(w.Vorn_State->text(), text);
    // Shown from its first character, however wide.
    QCOMPARE(w.Vorn_State->cursorPosition(), 0);
    QCOMPARE(w.Vorn_State->palette().color(QPalette::Text), QColor(Qt::black));
    QCOMPARE(w.Vorn_State->palette().color(QPalette::Base), background);
    // The timer never acts on the socket.
    QVERIFY(f.socket.connects.isEmpty());
    QCOMPARE(f.socket.closes, 0);
    QVERIFY(f.socket.sent.isEmpty() || state == 7);
}

void tst_LinkStatus::stateBoxIsPaintedInItsColour() {
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QList<std::pair<qint16, QColor>> states{
        {DeviceSocket::Closed, White},    {DeviceSocket::Connecting, Yellow},
        {DeviceSocket::Connected, Green}, {DeviceSocket::Closing, Red},
        {DeviceSocket::Error, Red},
    };
    for (const auto &[state, colour] : states) {
        f.socket.setState(state);
        f.tester->linkStatus().Timer1_Timer();
        const QImage image = w.Vorn_State->grab().toImage();
        // Most of the box, around its text and inside its frame, is the background.
        int matching = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                matching += image.pixelColor(x, y) == colour;
        QVERIFY2(matching > image.width() * image.height() / 2, qPrintable(w.Vorn_State->text()));
    }
}

void tst_LinkStatus::firstTickAppliesDisconnectedLayoutOnce() {
    TesterFixture f;
    Form1 &w = f.form();
    LinkStatus &link = f.tester->linkStatus();
    link.Timer1_Timer();
    QCOMPARE(w.Vorn_State->text(), QStringLiteral("Closed"));
    QVERIFY(w.Connect->isEnabled());
    QVERIFY(!w.All_On->isEnabled());
    QCOMPARE(w.state.ClosedTicks, qint16(1));
    QCOMPARE(w.state.ConnectedTicks, qint16(0));
    // The second tick applies nothing: a control changed since stays changed.
    w.All_On->setEnabled(true);
    link.Timer1_Timer();
    QVERIFY(w.All_On->isEnabled());
    QCOMPARE(w.state.ClosedTicks, qint16(2));
}

void tst_LinkStatus::layoutSwitchesOnEdgesOnly() {
    TesterFixture f;
    Form1 &w = f.form();
    LinkStatus &link = f.tester->linkStatus();
    for (int round = 0; round < 2; ++round) {
        f.socket.setState(DeviceSocket::Closed);
        link.Timer1_Timer();
        QVERIFY(w.Connect->isEnabled() && !w.All_On->isEnabled());
        f.socket.setState(DeviceSocket::Connected);
        link.Timer1_Timer();
        QVERIFY(!w.Connect->isEnabled() && w.All_On->isEnabled());
        QCOMPARE(w.state.ConnectedTicks, qint16(1));
        QCOMPARE(w.state.ClosedTicks, qint16(0));
        // Later Connected ticks leave the layout alone.
        w.GPI_Out[4]->setChecked(true);
        link.Timer1_Timer();
        QVERIFY(w.GPI_Out[4]->isChecked());
        QCOMPARE(w.state.ConnectedTicks, qint16(2));
        w.GPI_Out[4]->setChecked(false);
    }
}

void tst_LinkStatus::passingStatesDoNotSwitch() {
    TesterFixture f;
    Form1 &w = f.form();
    LinkStatus &link = f.tester->linkStatus();
    f.disconnectNow();
    // A failed attempt: the layout stays disconnected throughout.
    for (qint16 s : {DeviceSocket::ResolvingHost, DeviceSocket::Connecting, DeviceSocket::Error,
                     DeviceSocket::Closed}) {
        f.socket.setState(s);
        link.Timer1_Timer();
        QVERIFY(w.Connect->isEnabled());
        QVERIFY(!w.All_On->isEnabled());
    }
    QCOMPARE(w.state.ClosedTicks, qint16(2));
    QCOMPARE(w.state.ConnectedTicks, qint16(0));

    // Connected, then the device closes: the connected layout stays until Closed.
    f.connectNow();
    for (qint16 s : {DeviceSocket::Closing, DeviceSocket::Error}) {
        f.socket.setState(s);
        link.Timer1_Timer();
        QVERIFY(!w.Connect->isEnabled());
        QVERIFY(w.All_On->isEnabled() && w.GPI_Out[0]->isEnabled());
        QCOMPARE(w.state.ConnectedTicks, qint16(1));
        QCOMPARE(w.state.ClosedTicks, qint16(0));
    }
    f.socket.setState(DeviceSocket::Closed);
    link.Timer1_Timer();
    QVERIFY(w.Connect->isEnabled() && !w.All_On->isEnabled());
}

void tst_LinkStatus::ticksSaturateAt15() {
    TesterFixture f;
    LinkStatus &link = f.tester->linkStatus();
    for (int i = 0; i < 16; ++i)
        link.Timer1_Timer();
    QCOMPARE(f.form().state.ClosedTicks, qint16(15));
    link.Timer1_Timer();
    QCOMPARE(f.form().state.ClosedTicks, qint16(15));
    f.socket.setState(DeviceSocket::Connected);
    for (int i = 0; i < 20; ++i)
        link.Timer1_Timer();
    QCOMPARE(f.form().state.ConnectedTicks, qint16(15));
    QCOMPARE(f.form().state.ClosedTicks, qint16(0));
}

void tst_LinkStatus::connectingKeepsIdleOriginFresh() {
    TesterFixture f;
    LinkStatus &link = f.tester->linkStatus();
    f.form().state.LastArrivalTime = 100.0;
    f.socket.setState(DeviceSocket::Connecting);
    link.Timer1_Timer();
    QCOMPARE(f.form().state.LastArrivalTime, double(f.clock.counter));
    f.clock.advance(10);
    link.Timer1_Timer();
    QCOMPARE(f.form().state.LastArrivalTime, double(f.clock.counter));
    // Connected right after a long connect: not idle.
    f.clock.advance(0.1);
    f.socket.setState(DeviceSocket::Connected);
    link.Timer1_Timer();
    QCOMPARE(f.form().Vorn_State->text(), QStringLiteral("Connected 1042"));
}

void tst_LinkStatus::idleText_data() {
    QTest::addColumn<double>("silence");
    QTest::addColumn<QString>("text");
    QTest::newRow("fresh") << 0.0 << "Connected 1042";
    QTest::newRow("one second") << 1.0 << "Connected 1042";
    QTest::newRow("5.2 seconds") << 5.2 << "Connected 1042";
    QTest::newRow("5.3 seconds") << 5.3 << "Idle 5 sec";
    QTest::newRow("7.9 seconds") << 7.9 << "Idle 7 sec";
    QTest::newRow("an hour") << 3600.5 << "Idle 3600 sec";
}

void tst_LinkStatus::idleText() {
    QFETCH(double, silence);
    QFETCH(QString, text);
    TesterFixture f;
    f.socket.setLocalPort(1042);
    f.connectNow();
    f.form().state.LastArrivalTime = double(f.clock.counter);
    f.clock.advance(silence);
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(f.form().Vorn_State->text(), text);
    QCOMPARE(f.form().Vorn_State->palette().color(QPalette::Base), Green);
    // The next arrival brings the port back.
    f.form().state.LastArrivalTime = double(f.clock.counter);
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(f.form().Vorn_State->text(), QStringLiteral("Connected 1042"));
}

void tst_LinkStatus::statusTextAges_data() {
    QTest::addColumn<int>("state");
    QTest::addColumn<double>("age");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("0.2 s, connected") << 7 << 0.2 << false;
    QTest::newRow("0.3 s, connected") << 7 << 0.3 << true;
    QTest::newRow("an hour, closing") << 8 << 3600.0 << false;
    QTest::newRow("an hour, error") << 9 << 3600.0 << false;
    QTest::newRow("an hour, connecting") << 6 << 3600.0 << false;
}

void tst_LinkStatus::statusTextAges() {
    QFETCH(int, state);
    QFETCH(double, age);
    QFETCH(bool, cleared);
    TesterFixture f;
    f.connectNow();
    f.form().StatusBar->showMessage(QStringLiteral("Received GPI Input message"));
    f.form().state.StatusTextTime = double(f.clock.counter);
    f.form().state.LastArrivalTime = double(f.clock.counter);
    f.clock.advance(age);
    f.socket.setState(qint16(state));
    f.tester->linkStatus().Timer1_Timer();
    QCOMPARE(f.form().StatusBar->currentMessage().isEmpty(), cleared);
}

QTEST_MAIN(tst_LinkStatus)
#include "tst_linkstatus.moc"
