#include "FrameHex.h"
#include "TesterFixture.h"
#include "gpi/GpiOutputs.h"
#include "gpi/TestAllSequencer.h"
#include "link/ConnectionControl.h"

#include <QtTest>

#include <cmath>

namespace {

// Connected through Connect at a known counter value and time of day; arrivals are placed
// in seconds after Connect.
struct Session : TesterFixture {
    static constexpr qint64 ConnectTicks = 50000000000; // past 2^32, so both halves count

    explicit Session(const QString &title = QStringLiteral("VORN GPI Tester"),
                     const QString &version = QStringLiteral("1.4.14"))
        : TesterFixture(title, version) {
        clock.counter = ConnectTicks;
        tester->connection().Connect_Click();
        connectNow();
        socket.sent.clear();
        form().StatusBar->showMessage(QStringLiteral("earlier text"));
    }

    void at(double seconds) {
        clock.counter = ConnectTicks + std::llround(seconds * double(clock.frequency));
    }
    void arriveAt(double seconds, const QByteArray &bytes) {
        at(seconds);
        socket.arrive(bytes);
    }
    QStringList newLines(int before) { return log().mid(before); }
    // What the boxes show from the next frame on.
    QList<bool> checked(const std::array<CheckBox *, Form1::GpiArraySize> &boxes) {
        form().catchUp();
        QList<bool> list;
        for (CheckBox *box : boxes)
            list << box->isChecked();
        return list;
    }
    QByteArray outputBytes() {
        const TesterState &s = form().state;
        const char bytes[] = {char(s.GPIOutByte0), char(s.GPIOutByte1), char(s.GPIOutByte2)};
        return QByteArray(bytes, 3);
    }
};

QList<bool> onFromBits(quint32 state) {
    QList<bool> list;
    for (int i = 0; i < Form1::GpiArraySize; ++i)
        list << (((state >> i) & 1u) == 0);
    return list;
}

} // namespace

class tst_Dispatcher : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void unrecognisedFrames_data();
    void unrecognisedFrames();
    void messages_data();
    void messages();
    void scriptedStamps();
    void inputIndicators_data();
    void inputIndicators();
    void outputStatusRunsOutputHandler();
    void outputStatusSendsNothing_data();
    void outputStatusSendsNothing();
    void echo_data();
    void echo();
    void twoFramesInOneArrival_data();
    void twoFramesInOneArrival();
    void splitFrame();
    void caption_data();
    void caption();
    void arrivalTrimsLog();
};

void tst_Dispatcher::initTestCase() {
    QLocale::setDefault(QLocale::c());
}

void tst_Dispatcher::unrecognisedFrames_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line");
    // One per byte where the frame check gives up; which bytes fail where is the frame
    // tests' table.
    QTest::newRow("empty arrival") << QByteArray() << "First byte unknown";
    QTest::newRow("00") << hex("00") << "First byte unknown";
    QTest::newRow("FF alone") << hex("ff") << "Second byte unknown";
    QTest::newRow("FF 00") << hex("ff00") << "Third byte unknown";
    QTest::newRow("request code FF 00 02") << hex("ff0002") << "Third byte unknown";
    QTest::newRow("FF 00 00") << hex("ff0000") << "Fourth byte unknown";
    QTest::newRow("type 07") << hex("ff000007") << "Fourth byte unknown";
}

void tst_Dispatcher::unrecognisedFrames() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    Session f;
    const int lines = f.log().size();
    const QString caption = f.form().windowTitle();
    const QList<bool> outputs = f.checked(f.form().GPI_Out);
    const double statusTime = f.form().state.StatusTextTime;
    const int reads = f.clock.counterReads;

    f.arriveAt(1.5, bytes);

    QCOMPARE(f.newLines(lines), QStringList{line});
    QCOMPARE(f.form().StatusBar->currentMessage(), "earlier text");
    QCOMPARE(f.form().windowTitle(), caption);
    QCOMPARE(f.checked(f.form().GPI_In), QList<bool>(24, false));
    QCOMPARE(f.checked(f.form().GPI_Out), outputs);
    QCOMPARE(f.form().state.StatusTextTime, statusTime);
    QVERIFY(f.socket.sent.isEmpty());
    // The arrival is counted all the same, from one counter reading.
    const TesterState &s = f.form().state;
    QCOMPARE(f.clock.counterReads, reads + 1);
    QCOMPARE(s.ArrivalCount, double(f.clock.counter));
    QCOMPARE(s.ResponseCount, s.ArrivalCount);
    QCOMPARE(s.PrevArrivalCount, s.ArrivalCount);
    QCOMPARE(s.LastArrivalTime, s.ArrivalCount);
}

void tst_Dispatcher::messages_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("status"); // null: the earlier text stays
    QTest::addColumn<bool>("renewsStatusTime");

    // The first arrival half a second after Connect: both stamps read 0.500.
    for (int port = 1; port <= 4; ++port)
        QTest::addRow("serial port %d", port)
            << (hex("ff0000") + char(port - 1) + "AB")
            << QStringLiteral("   0.500 (0.500) Serial Port %1 Input").arg(port)
            << QStringLiteral("Received Serial Port %1 Input message").arg(port) << true;
    QTest::newRow("serial without data")
        << hex("ff000002") << "   0.500 (0.500) Serial Port 3 Input"
        << "Received Serial Port 3 Input message" << true;
    QTest::newRow("GPI input, wide prefix")
        << hex("ff000004feffff") << "    0.500 (0.500) GPI Input"
        << "Received GPI Input message" << true;
    QTest::newRow("ID response") << hex("ff0000050502")
                                 << "   0.500 (0.500) Firmware v2.05 (500.0mS)"
                                 << "Received ID Response" << true;
    QTest::newRow("GPI output status")
        << hex("ff000006ffffff") << "   0.500 (0.500) GPI Output" << QString() << true;
    // Too short for what the type reads: a line that names it, nothing else.
    QTest::newRow("short GPI input")
        << hex("ff000004feff") << "Short GPI Input message (6 bytes)" << QString() << false;
    QTest::newRow("GPI input header only")
        << hex("ff000004") << "Short GPI Input message (4 bytes)" << QString() << false;
    QTest::newRow("short GPI output")
        << hex("ff00000600") << "Short GPI Output message (5 bytes)" << QString() << false;
    QTest::newRow("short ID response")
        << hex("ff00000505") << "Short ID Response message (5 bytes)" << QString() << false;
}

void tst_Dispatcher::messages() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    QFETCH(QString, status);
    QFETCH(bool, renewsStatusTime);
    Session f;
    f.form().GPI_In[3]->setChecked(true);
    const int lines = f.log().size();
    const QList<bool> inputs = f.checked(f.form().GPI_In);
    const QString caption = f.form().windowTitle();

    f.arriveAt(0.5, bytes);

    QCOMPARE(f.newLines(lines), QStringList{line});
    QCOMPARE(f.form().StatusBar->currentMessage(), status.isNull() ? "earlier text" : status);
    QCOMPARE(f.form().state.StatusTextTime,
             renewsStatusTime ? double(f.clock.counter) : double(Session::ConnectTicks));
    const bool gpiInput =
        line.contains("GPI Input (") == false && bytes.size() >= 7 && quint8(bytes[3]) == 0x04;
    if (!gpiInput)
        QCOMPARE(f.checked(f.form().GPI_In), inputs);
    if (!line.contains("Firmware"))
        QCOMPARE(f.form().windowTitle(), caption);
}

void tst_Dispatcher::scriptedStamps() {
    Session f;
    const int lines = f.log().size();
    f.arriveAt(2.215, hex("55"));
    f.at(3.2122);
    f.tester->gpiOutputs().Query_Firmware_Click();
    f.arriveAt(3.217, hex("ff0000050502"));
    // No new request: the second answer is timed from the same one.
    f.arriveAt(3.5, hex("ff0000050502"));
    f.arriveAt(12.2252, hex("ff000003"));
    f.arriveAt(12.3456, hex("ff000004ffffff"));
    // From 10 s since the previous arrival the standard prefix loses its blank, from 100 s its
    // parenthesis as well; the wide one keeps both.
    f.arriveAt(40.0, hex("ff000000"));
    f.arriveAt(163.2, hex("ff000004ffffff"));
    f.arriveAt(290.0, hex("ff000001"));
    QCOMPARE(f.newLines(lines), QStringList({
                                    "First byte unknown",
                                    "Firmware Version Request",
                                    "   3.217 (1.002) Firmware v2.05 (4.8mS)",
                                    "   3.500 (0.283) Firmware v2.05 (287.8mS)",
                                    "  12.225 (8.725) Serial Port 4 Input",
                                    "   12.346 (0.120) GPI Input",
                                    "  40.000(27.654) Serial Port 1 Input",
                                    "  163.200 (123.200) GPI Input",
                                    " 290.000126.800) Serial Port 2 Input",
                                }));
}

void tst_Dispatcher::inputIndicators_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("state");
    QTest::addColumn<quint32>("bits");
    for (const char *title : {"VORN GPI Tester", "VORN ZED8 Tester"}) {
        QTest::addRow("%s all off", title) << title << hex("ffffff") << 0xffffffu;
        QTest::addRow("%s all on", title) << title << hex("000000") << 0u;
        QTest::addRow("%s only first", title) << title << hex("feffff") << 0xfffffeu;
        // Indices beyond the build's count are shown too.
        QTest::addRow("%s mixed", title) << title << hex("5aa53c") << 0x3ca55au;
    }
}

void tst_Dispatcher::inputIndicators() {
    QFETCH(QString, title);
    QFETCH(QByteArray, state);
    QFETCH(quint32, bits);
    Session f(title);
    // Whatever the indicators showed before does not matter.
    for (int i = 0; i < Form1::GpiArraySize; i += 3)
        f.form().GPI_In[i]->setChecked(true);
    f.arriveAt(1, hex("ff000004") + state);
    QCOMPARE(f.checked(f.form().GPI_In), onFromBits(bits));
    // Input indicators drive no outputs.
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(f.outputBytes(), hex("ffffff"));
}

void tst_Dispatcher::outputStatusRunsOutputHandler() {
    Session f;
    QSignalSpy firstButton(f.form().GPI_Out[0], &QAbstractButton::toggled);

    // Shown off and reported off: checked, then unchecked; the handler runs for both.
    f.arriveAt(1, hex("ff000006ffffff"));
    QCOMPARE(firstButton.count(), 2);
    QCOMPARE(f.checked(f.form().GPI_Out), QList<bool>(24, false));

    // Shown on and reported on: no change, no handler.
    f.tester->gpiOutputs().All_On_Click();
    firstButton.clear();
    f.arriveAt(2, hex("ff000006000000"));
    QCOMPARE(firstButton.count(), 0);

    // Shown on, reported off: one change each, recorded in the output bytes.
    f.arriveAt(3, hex("ff000006ffff7f"));
    QCOMPARE(f.outputBytes(), hex("ffff7f"));
    QCOMPARE(f.checked(f.form().GPI_Out), onFromBits(0x7fffff));
}

namespace {
enum Before { Idle, EchoOn, TestAllRunning, ButtonsDisabled };
}
Q_DECLARE_METATYPE(Before)

void tst_Dispatcher::outputStatusSendsNothing_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<quint32>("shown");
    QTest::addColumn<Before>("before");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<bool>("echoStays");
    const QString gpi = QStringLiteral("VORN GPI Tester");
    const QString zed8 = QStringLiteral("VORN ZED8 Tester");
    QTest::newRow("all off, reported all off")
        << gpi << 0xffffffu << Idle << hex("ffffff") << false;
    QTest::newRow("all off, reported mixed") << gpi << 0xffffffu << Idle << hex("5aa53c") << false;
    QTest::newRow("all on, reported all on") << gpi << 0u << Idle << hex("000000") << false;
    QTest::newRow("mixed, reported other mixed")
        << gpi << 0x0f0f0fu << Idle << hex("f00f55") << false;
    QTest::newRow("echo, all off reported") << gpi << 0xffffffu << EchoOn << hex("ffffff") << false;
    QTest::newRow("echo, mixed reported") << gpi << 0x00ff00u << EchoOn << hex("fe7f01") << false;
    // Nothing changes on a button, so nothing ends echo mode.
    QTest::newRow("echo, all on as shown") << gpi << 0u << EchoOn << hex("000000") << true;
    QTest::newRow("Test All running") << gpi << 0u << TestAllRunning << hex("5aa53c") << false;
    QTest::newRow("buttons disabled")
        << gpi << 0xffffffu << ButtonsDisabled << hex("a55ac3") << false;
    QTest::newRow("8 GPIs, all off") << zed8 << 0xffffffu << Idle << hex("ffffff") << false;
    QTest::newRow("8 GPIs, mixed") << zed8 << 0xffffffu << Idle << hex("ff00ff") << false;
    QTest::newRow("8 GPIs, echo") << zed8 << 0xffffffu << EchoOn << hex("3c00ff") << false;
}

// A report tells what the device already does: showing it switches nothing, whatever the
// window is doing, and the bytes the next action sends are the reported ones.
void tst_Dispatcher::outputStatusSendsNothing() {
    QFETCH(QString, title);
    QFETCH(quint32, shown);
    QFETCH(Before, before);
    QFETCH(QByteArray, report);
    QFETCH(bool, echoStays);
    Session f(title);
    Form1 &w = f.form();
    for (int i = 0; i < w.state.GPICount; ++i)
        w.GPI_Out[i]->setChecked(onFromBits(shown)[i]);
    if (before == EchoOn)
        w.Echo->setChecked(true);
    if (before == TestAllRunning) {
        f.tester->testAll().Test_All_Click();
        f.tester->testAll().Timer2_Timer();
    }
    if (before == ButtonsDisabled)
        for (CheckBox *button : w.GPI_Out)
            button->setEnabled(false);
    QList<bool> enabled;
    for (CheckBox *button : w.GPI_Out)
        enabled << button->isEnabled();
    f.socket.sent.clear();

    f.arriveAt(1, hex("ff000006") + report);

    QCOMPARE(hexList(f.socket.sent), QStringList());
    const quint32 bits =
        quint8(report[0]) | quint8(report[1]) << 8 | quint32(quint8(report[2])) << 16;
    QCOMPARE(f.checked(w.GPI_Out), onFromBits(bits));
    QCOMPARE(f.outputBytes(), report);
    QCOMPARE(w.Echo->isChecked(), echoStays);
    if (before == EchoOn && !echoStays) {
        // Ending echo mode unlocks the manual output controls.
        QVERIFY(w.All_On->isEnabled());
        for (int i = 0; i < w.state.GPICount; ++i)
            enabled[i] = true;
    }
    QList<bool> enabledAfter;
    for (CheckBox *button : w.GPI_Out)
        enabledAfter << button->isEnabled();
    QCOMPARE(enabledAfter, enabled);

    // The next operator click sends the reported bytes with its own change.
    if (w.GPI_Out[1]->isEnabled()) {
        w.GPI_Out[1]->click();
        QByteArray next = report;
        next[0] = char(next[0] ^ 0x02);
        QCOMPARE(hexList(f.socket.sent), hexList({hex("ff000004") + next}));
    }
}

void tst_Dispatcher::echo_data() {
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("socketState");
    QTest::addColumn<bool>("echoed");
    QTest::newRow("checked, enabled, connected")
        << true << true << int(DeviceSocket::Connected) << true;
    QTest::newRow("unchecked") << false << true << int(DeviceSocket::Connected) << false;
    QTest::newRow("checked but disabled") << true << false << int(DeviceSocket::Connected) << false;
    QTest::newRow("peer closing") << true << true << int(DeviceSocket::Closing) << false;
    QTest::newRow("error") << true << true << int(DeviceSocket::Error) << false;
}

void tst_Dispatcher::echo() {
    QFETCH(bool, checked);
    QFETCH(bool, enabled);
    QFETCH(int, socketState);
    QFETCH(bool, echoed);
    Session f;
    f.form().Echo->setChecked(checked);
    f.form().Echo->setEnabled(enabled);
    f.socket.setState(qint16(socketState));
    const double requestSent = f.form().state.RequestSentCount;
    const int lines = f.log().size();

    const QByteArray frame = hex("ff0000045aa53c");
    f.arriveAt(1, frame);

    QCOMPARE(hexList(f.socket.sent), echoed ? hexList({frame}) : QStringList());
    QCOMPARE(f.log().size(), lines + 1);
    QCOMPARE(f.form().state.RequestSentCount, requestSent);
    QCOMPARE(f.form().Echo->isChecked(), checked);
}

void tst_Dispatcher::twoFramesInOneArrival_data() {
    QTest::addColumn<QByteArray>("joined");
    QTest::newRow("an ID response") << hex("ff0000050502");
    // Sent back, it would be a serial output message, and the box would transmit it.
    QTest::newRow("a serial input") << hex("ff000000") + QByteArray("hello\r\n");
    QTest::newRow("another input report") << hex("ff000004fdffff");
}

void tst_Dispatcher::twoFramesInOneArrival() {
    QFETCH(QByteArray, joined);
    Session f;
    f.form().Echo->setChecked(true);
    const int lines = f.log().size();
    const QString caption = f.form().windowTitle();
    const QByteArray message = hex("ff000004feffff");
    f.arriveAt(1, message + joined);
    // Only the first is read, and only the input message is echoed.
    QCOMPARE(f.newLines(lines), QStringList{"    1.000 (1.000) GPI Input"});
    QCOMPARE(f.checked(f.form().GPI_In), onFromBits(0xfffffe));
    QCOMPARE(f.form().windowTitle(), caption);
    QCOMPARE(hexList(f.socket.sent), hexList({message}));
}

void tst_Dispatcher::splitFrame() {
    Session f;
    f.form().Echo->setChecked(true);
    const int lines = f.log().size();
    f.arriveAt(1, hex("ff000004"));
    f.arriveAt(1.001, hex("feffff"));
    // Nothing is held over: each part stands alone, and a part too short is not echoed.
    QCOMPARE(f.newLines(lines),
             QStringList({"Short GPI Input message (4 bytes)", "First byte unknown"}));
    QCOMPARE(f.checked(f.form().GPI_In), QList<bool>(24, false));
    QVERIFY(f.socket.sent.isEmpty());
    QCOMPARE(f.form().state.PrevArrivalCount, double(f.clock.counter));

    // The next whole frame is read from its first byte.
    f.arriveAt(2, hex("ff000004feffff"));
    QCOMPARE(f.checked(f.form().GPI_In), onFromBits(0xfffffe));
}

void tst_Dispatcher::caption_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("caption");
    QTest::newRow("24-GPI build") << "VORN GPI Tester"
                                  << "1.4.14" << hex("ff0000050502")
                                  << "VORN GPI Tester v1.4.14 (Firmware v2.05)";
    QTest::newRow("8-GPI build") << "VORN ZED8 Tester"
                                 << "1.4.13" << hex("ff000005070399")
                                 << "VORN ZED8 Tester v1.4.13 (Firmware v3.07)";
}

void tst_Dispatcher::caption() {
    QFETCH(QString, title);
    QFETCH(QString, version);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, caption);
    Session f(title, version);
    f.arriveAt(1, bytes);
    QCOMPARE(f.form().windowTitle(), caption);
    // A second answer replaces the version rather than adding to it.
    f.arriveAt(2, hex("ff0000050001"));
    QCOMPARE(f.form().windowTitle(), caption.left(caption.indexOf(" (")) + " (Firmware v1.00)");
}

void tst_Dispatcher::arrivalTrimsLog() {
    Session f;
    for (int i = 0; i < 150; ++i)
        f.form().appendLog(QString::number(i));
    f.arriveAt(1, hex("01"));
    const QStringList log = f.log();
    QCOMPARE(log.size(), 100);
    QCOMPARE(log.last(), "First byte unknown");
    QCOMPARE(f.form().ListBox->currentRow(), 99);
}

QTEST_MAIN(tst_Dispatcher)
#include "tst_dispatcher.moc"
