#include "TesterFixture.h"
#include "link/ConnectionControl.h"

#include <QtTest>

namespace {

// A fake socket that also notes how far the log had got when it was asked to act.
class WatchedSocket : public FakeDeviceSocket {
public:
    void connectToDevice(const QString &host, const QString &port) override {
        logAtConnect = log ? log->count() : -1;
        FakeDeviceSocket::connectToDevice(host, port);
    }
    void close() override {
        logAtClose = log ? log->count() : -1;
        FakeDeviceSocket::close();
    }
    LogView *log = nullptr;
    int logAtConnect = -2;
    int logAtClose = -2;
};

struct WatchedTester {
    WatchedTester() {
        QCoreApplication::setApplicationName(QStringLiteral("VORN GPI Tester"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));
        tester = std::make_unique<Tester>(socket, clock, serial);
        socket.log = tester->form().ListBox;
    }
    WatchedSocket socket;
    FakeClock clock;
    FakeSerialPort serial;
    std::unique_ptr<Tester> tester;
};

} // namespace

class tst_Connection : public QObject {
    Q_OBJECT

private slots:
    void portCheck_data();
    void portCheck();
    void portCheckRunsOnLeavingTheBox();
    void closingWithFocusInPortBox();
    void connectStartsAttemptAndStampOrigins();
    void connectUsesTypedTextAndLeavesLayoutToTheTimer();
    void disconnect();
    void disconnectWhenClosed();
    void socketError_data();
    void socketError();
    void errorLinesAreTrimmed();
};

void tst_Connection::portCheck_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("lines");
    const QStringList config{"Port 4141 is reserved for configuration"};
    const QStringList loader{"Port 8000 is reserved for GPI Loader"};
    // What was typed, what the box holds after the check, and the lines logged.
    const auto row = [](const char *typed, const char *after, const QStringList &lines) {
        QTest::newRow(*typed ? typed : "empty") << typed << after << lines;
    };
    row("4141", "23", config);
    row("4141abc", "23", config);
    row("4141.0", "23", config);
    row("41 41", "23", config);
    row("&H102D", "23", config);
    row("8000", "23", loader);
    row("8e3", "23", loader);
    row(" 8 000 ", "23", loader);
    row("4140", "4140", {});
    row("80000", "80000", {});
    row("abc", "abc", {});
    row("", "", {});
    row("23", "23", {});
    row("4141.5", "4141.5", {});
}

void tst_Connection::portCheck() {
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(QStringList, lines);
    TesterFixture f;
    Form1 &w = f.form();
    w.Vorn_Port->setText(typed);
    f.tester->connection().Vorn_Port_LostFocus();
    QCOMPARE(w.Vorn_Port->text(), after);
    QCOMPARE(f.log().mid(1), lines);
    if (!lines.isEmpty())
        QCOMPARE(w.ListBox->currentRow(), w.ListBox->count() - 1);
    QVERIFY(f.socket.connects.isEmpty());
}

void tst_Connection::portCheckRunsOnLeavingTheBox() {
    TesterFixture f;
    Form1 &w = f.form();
    f.disconnectNow();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.Vorn_Port->setFocus();
    QTRY_VERIFY(w.Vorn_Port->hasFocus());
    w.Vorn_Port->selectAll();
    QTest::keyClicks(w.Vorn_Port, QStringLiteral("4141"));
    // Still typing: nothing is checked yet.
    QCOMPARE(w.Vorn_Port->text(), QStringLiteral("4141"));
    QCOMPARE(f.log().size(), 1);

    // Another window taking the focus does not leave the box either.
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    QCOMPARE(w.Vorn_Port->text(), QStringLiteral("4141"));
    w.activateWindow();
    QTRY_VERIFY(w.Vorn_Port->hasFocus());

    // Tab to the next control: the check runs.
    QTest::keyClick(w.Vorn_Port, Qt::Key_Tab);
    QCOMPARE(w.Vorn_Port->text(), QStringLiteral("23"));
    QCOMPARE(f.log().mid(1), QStringList{"Port 4141 is reserved for configuration"});

    // Clicking Connect from the box checks the port before connecting with it.
    w.Vorn_Port->setFocus();
    QTRY_VERIFY(w.Vorn_Port->hasFocus());
    w.Vorn_Port->selectAll();
    QTest::keyClicks(w.Vorn_Port, QStringLiteral("8000"));
    QTest::mouseClick(w.Connect, Qt::LeftButton);
    QCOMPARE(f.socket.connects.size(), 1);
    QCOMPARE(f.socket.connects[0].port, QStringLiteral("23"));
    QCOMPARE(f.log().mid(2), (QStringList{"Port 8000 is reserved for GPI Loader", "Connect"}));
}

void tst_Connection::closingWithFocusInPortBox() {
    auto f = std::make_unique<TesterFixture>();
    Form1 &w = f->form();
    f->disconnectNow();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    w.Vorn_Port->setFocus();
    QTRY_VERIFY(w.Vorn_Port->hasFocus());
    w.Vorn_Port->setText(QStringLiteral("4141"));
    // The window goes with its controls; a check on a box being torn down must not run.
    f.reset();
}

void tst_Connection::connectStartsAttemptAndStampOrigins() {
    WatchedTester t;
    Form1 &w = t.tester->form();
    t.clock.counter = 0x123456789A;
    const int readsBefore = t.clock.counterReads;
    t.tester->connection().Connect_Click();

    QCOMPARE(t.socket.connects.size(), 1);
    QCOMPARE(t.socket.connects[0].host, QStringLiteral("192.168.254.102"));
    QCOMPARE(t.socket.connects[0].port, QStringLiteral("23"));
    // The socket is asked first, the log line comes last.
    QCOMPARE(t.socket.logAtConnect, 1);
    const TesterState &s = w.state;
    // One reading of the counter feeds all six origins.
    QCOMPARE(t.clock.counterReads - readsBefore, 1);
    const double count = double(0x123456789A);
    QCOMPARE(s.RequestSentCount, count);
    QCOMPARE(s.ConnectCount, count);
    QCOMPARE(s.ArrivalCount, count);
    QCOMPARE(s.LastArrivalTime, count);
    QCOMPARE(s.StatusTextTime, count);
    QCOMPARE(s.PrevArrivalCount, count);
    QCOMPARE(w.ListBox->text(w.ListBox->count() - 1), QStringLiteral("Connect"));
    QCOMPARE(w.ListBox->currentRow(), w.ListBox->count() - 1);
    // The first arrival is stamped from here.
    w.state.ArrivalCount = count + 5000000;
    QCOMPARE(w.standardPrefix(), QStringLiteral("   0.500 (0.500)"));
}

void tst_Connection::connectUsesTypedTextAndLeavesLayoutToTheTimer() {
    TesterFixture f;
    Form1 &w = f.form();
    f.disconnectNow();
    const QString stateText = w.Vorn_State->text();
    w.Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
    w.Vorn_Port->setText(QStringLiteral(" 2323"));
    QTest::mouseClick(w.Connect, Qt::LeftButton);
    QCOMPARE(f.socket.connects.size(), 1);
    QCOMPARE(f.socket.connects[0].host, QStringLiteral("127.0.0.1"));
    // The text as typed: the socket reads the number.
    QCOMPARE(f.socket.connects[0].port, QStringLiteral(" 2323"));
    QVERIFY(w.Connect->isEnabled());
    QVERIFY(w.Vorn_Port->isEnabled());
    QVERIFY(!w.All_On->isEnabled());
    QCOMPARE(w.Vorn_State->text(), stateText);
    // Pressed again while the first attempt runs: the socket decides, the window just asks.
    f.socket.setState(DeviceSocket::Connecting);
    f.tester->connection().Connect_Click();
    QCOMPARE(f.socket.connects.size(), 2);
}

void tst_Connection::disconnect() {
    WatchedTester t;
    Form1 &w = t.tester->form();
    t.socket.setState(DeviceSocket::Connected);
    t.tester->linkStatus().Timer1_Timer();
    w.Timer2->start();
    w.Test_All->setText(QStringLiteral("STOP"));
    w.setWindowTitle(w.BaseCaption() + QStringLiteral(" FW 2.05"));
    const int before = w.ListBox->count();

    QTest::mouseClick(w.Disconnect, Qt::LeftButton);
    QVERIFY(!w.Timer2->isActive());
    QCOMPARE(t.socket.closes, 1);
    // The line is written before the socket closes.
    QCOMPARE(t.socket.logAtClose, before + 1);
    QCOMPARE(w.ListBox->text(before), QStringLiteral("Disconnect"));
    QCOMPARE(w.ListBox->currentRow(), before);
    QCOMPARE(w.windowTitle(), QStringLiteral("VORN GPI Tester v1.4.14"));
    // Test All keeps its caption until the timer sees Closed.
    QCOMPARE(w.Test_All->text(), QStringLiteral("STOP"));
    QVERIFY(w.All_On->isEnabled());
    t.tester->linkStatus().Timer1_Timer();
    QCOMPARE(w.Test_All->text(), QStringLiteral("Test All"));
    QVERIFY(!w.All_On->isEnabled());
}

void tst_Connection::disconnectWhenClosed() {
    TesterFixture f;
    Form1 &w = f.form();
    f.disconnectNow();
    w.setWindowTitle(QStringLiteral("something else"));
    f.tester->connection().Disconnect_Click();
    QCOMPARE(f.log().mid(1), QStringList{"Disconnect"});
    QCOMPARE(w.windowTitle(), QStringLiteral("VORN GPI Tester v1.4.14"));
    QVERIFY(w.Connect->isEnabled());
    QVERIFY(w.Disconnect->isEnabled());
}

void tst_Connection::socketError_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("second");
    QTest::newRow("aborted") << 10053 << "Hint: Connection Lost";
    QTest::newRow("timed out") << 10060 << "Hint: Can't find Vorn, check IP address";
    QTest::newRow("refused") << 10061 << "Hint: Power Cycle Vorn";
    QTest::newRow("unreachable") << 10065 << "Hint: Check network connection and settings.";
    QTest::newRow("reset") << 10054 << "10054";
    QTest::newRow("not found") << 11001 << "11001";
    QTest::newRow("negative") << -25530 << "-25530";
    QTest::newRow("zero") << 0 << "0";
}

void tst_Connection::socketError() {
    QFETCH(int, number);
    QFETCH(QString, second);
    TesterFixture f;
    Form1 &w = f.form();
    f.connectNow();
    w.Timer2->start();
    f.socket.raiseError(qint16(number), QStringLiteral("Something went wrong"));
    QCOMPARE(f.log().mid(1), (QStringList{"Something went wrong", second}));
    QCOMPARE(w.ListBox->currentRow(), 2);
    // Reported, nothing else.
    QCOMPARE(f.socket.closes, 0);
    QVERIFY(w.Timer2->isActive());
    QVERIFY(w.All_On->isEnabled());
    QVERIFY(!w.Connect->isEnabled());
}

void tst_Connection::errorLinesAreTrimmed() {
    TesterFixture f;
    Form1 &w = f.form();
    for (int i = 0; i < 99; ++i)
        w.appendLog(QStringLiteral("line %1").arg(i));
    f.socket.raiseError(10061, QStringLiteral("Connection is forcefully rejected"));
    QCOMPARE(w.ListBox->count(), 100);
    // The start-up line and the oldest of the others made room.
    QCOMPARE(w.ListBox->text(0), QStringLiteral("line 1"));
    QCOMPARE(w.ListBox->text(99), QStringLiteral("Hint: Power Cycle Vorn"));
    QCOMPARE(w.ListBox->currentRow(), 99);
}

QTEST_MAIN(tst_Connection)
#include "tst_connection.moc"
