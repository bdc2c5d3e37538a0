#include "LiveRig.h"

#include <QElapsedTimer>

// A connection that the device ends or breaks, and one that the operator
// ends and makes again and again. The window must say what happened, keep its layout until
// Disconnect, send nothing on a dead link, and connect again afterwards as new.
class tst_FaultsLink : public QObject {
    Q_OBJECT

private slots:
    void peerCloseWhileIdle();
    void peerCloseDuringTestAll();
    void peerCloseDuringFlood();
    void reset();
    void disconnectAndConnect200Times();
};

namespace {

const QColor Red(255, 0, 0);

bool waitForState(LiveRig &rig, const QString &text) {
    return QTest::qWaitFor(
        [&] {
            rig.tick();
            return rig.stateText() == text;
        },
        LiveRig::Patience);
}

// The peer has closed: red state, the connected layout kept, nothing sent, nothing logged.
void expectPeerClosed(LiveRig &rig) {
    QVERIFY(waitForState(rig, QStringLiteral("Peer is closing connection")));
    QCOMPARE(rig.stateBackground(), Red);
    QCOMPARE(rig.stateTextColour(), QColor(Qt::black));
    QVERIFY(rig.isConnectedLayout());
    const int mark = rig.logSize();
    rig.click(rig.form().GPI_Query_Inputs);
    rig.click(rig.form().All_On);
    QCOMPARE(rig.logSize(), mark);
}

// A device that closes while the tester is still sending resets the connection when those
// bytes reach it (TCP's answer to data for a closed socket). Which of the two the window
// sees first depends on timing: the orderly close, or the reset with its error lines.
void expectPeerClosedOrReset(LiveRig &rig, int mark) {
    QVERIFY(QTest::qWaitFor(
        [&] {
            rig.tick();
            return rig.stateText() == QLatin1String("Peer is closing connection") ||
                   rig.stateText() == QLatin1String("Error");
        },
        LiveRig::Patience));
    if (rig.stateText() == QLatin1String("Error")) {
        QVERIFY(rig.waitForLastLog(QStringLiteral("10054")));
        QCOMPARE(rig.logSince(mark), (QStringList{"Connection is reset by remote side", "10054"}));
    } else {
        QCOMPARE(rig.logSince(mark), QStringList());
    }
    QCOMPARE(rig.stateBackground(), Red);
    // Still the connected layout (Test All has the run controls locked).
    QVERIFY(!rig.form().Connect->isEnabled() && !rig.form().Vorn_Port->isEnabled());
    QVERIFY(rig.form().Test_All->isEnabled() && rig.form().Query_Firmware->isEnabled());
}

// GPI input messages back to back, as one write of the device.
QByteArray inputMessages(int count) {
    QByteArray bytes;
    bytes.reserve(count * 7);
    for (int i = 0; i < count; ++i)
        bytes += QByteArray::fromHex("ff000004") + char(~(1u << (i % 8))) + "\xff\xff";
    return bytes;
}

bool isDispatcherLine(const QString &line) {
    return line.endsWith(QLatin1String(" GPI Input")) || line.endsWith(QLatin1String(" unknown")) ||
           line.startsWith(QLatin1String("Short GPI Input message"));
}

} // namespace

void tst_FaultsLink::peerCloseWhileIdle() {
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    const int mark = rig.logSize();
    QVERIFY(rig.device.closeConnection());
    expectPeerClosed(rig);
    QCOMPARE(rig.logSince(mark), QStringList());
    QVERIFY(rig.reconnectAndQueryWork());
    QCOMPARE(rig.device.connectionCount(), 2);
}

void tst_FaultsLink::peerCloseDuringTestAll() {
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    rig.form().sldGPIInterval->setValue(1);
    rig.click(rig.form().Test_All);
    QCOMPARE(rig.form().Test_All->text(), QStringLiteral("STOP"));
    // All Off, then at least 60 steps.
    QVERIFY(rig.waitForReceivedAtLeast(61));
    const int mark = rig.logSize();
    QVERIFY(rig.device.closeConnection());
    expectPeerClosedOrReset(rig, mark);

    // The walk is not stopped by the link going, but its steps send nothing and log nothing.
    QVERIFY(rig.form().Timer2->isActive());
    QCOMPARE(rig.form().Test_All->text(), QStringLiteral("STOP"));
    const int lines = rig.logSize();
    QTest::qWait(100);
    QCOMPARE(rig.logSize(), lines);

    // What the device got was All Off and then one output after the other, none lost.
    const QList<sim::SimFrame> received = rig.device.received();
    QCOMPARE(received.first().bytes, QByteArray::fromHex("ff000004ffffff"));
    for (int k = 1; k < received.size(); ++k) {
        const quint32 off = ~(1u << ((k - 1) % 24)) & 0xFFFFFF;
        const QByteArray expected =
            QByteArray::fromHex("ff000004") + char(off & 0xFF) + char(off >> 8) + char(off >> 16);
        QCOMPARE(received[k].bytes.toHex(' '), expected.toHex(' '));
    }

    QVERIFY(rig.disconnectFromDevice());
    QVERIFY(!rig.form().Timer2->isActive());
    QCOMPARE(rig.form().Test_All->text(), QStringLiteral("Test All"));
    QVERIFY(rig.connectToDevice());
    QVERIFY(rig.queryInWorks());
}

// The device pours out GPI input messages and closes; the window handles what came, then
// shows the close. Arrivals join and split messages as the stream falls, so each arrival
// gives one of the dispatcher's lines.
void tst_FaultsLink::peerCloseDuringFlood() {
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    int arrivals = 0;
    QObject::connect(&rig.socket, &DeviceSocket::dataArrival, [&] { ++arrivals; });
    for (int i = 0; i < 20; ++i)
        QVERIFY(rig.device.sendRaw(inputMessages(1000)));
    QVERIFY(rig.device.closeConnection());
    expectPeerClosed(rig);
    const QStringList lines = rig.log();
    QVERIFY(arrivals > 0 && lines.size() <= 100);
    for (const QString &line : lines.mid(lines.size() - std::min(arrivals, int(lines.size()))))
        QVERIFY2(isDispatcherLine(line), qPrintable(line));
    QVERIFY(rig.reconnectAndQueryWork());
}

void tst_FaultsLink::reset() {
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    const int mark = rig.logSize();
    QVERIFY(rig.device.resetConnection());
    QVERIFY(rig.waitForLastLog(QStringLiteral("10054")));
    QCOMPARE(rig.logSince(mark), (QStringList{"Connection is reset by remote side", "10054"}));
    QVERIFY(waitForState(rig, QStringLiteral("Error")));
    QCOMPARE(rig.stateBackground(), Red);
    // An error changes nothing else: the layout stays until Disconnect.
    QVERIFY(rig.isConnectedLayout());
    rig.click(rig.form().GPI_Query_Inputs);
    QCOMPARE(rig.logSize(), mark + 2);
    QVERIFY(rig.reconnectAndQueryWork());
}

// No socket, descriptor or memory is left behind by a connection that came and went.
void tst_FaultsLink::disconnectAndConnect200Times() {
    LiveRig rig;
    const auto cycle = [&](int i) {
        if (!rig.connectToDevice())
            return false;
        if (i % 20 == 0 && !rig.queryInWorks())
            return false;
        return rig.disconnectFromDevice();
    };
    // Warm up, so that what Qt keeps once per process is already there.
    for (int i = 0; i < 10; ++i)
        QVERIFY(cycle(i));
    QTRY_VERIFY_WITH_TIMEOUT(rig.socket.state() == DeviceSocket::Closed, LiveRig::Patience);
    QTest::qWait(50);
    const int descriptors = openDescriptors();
    const qint64 memory = residentKb();

    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < 200; ++i)
        QVERIFY2(cycle(i), qPrintable(QStringLiteral("cycle %1").arg(i)));
    const qint64 ms = elapsed.elapsed();

    QCOMPARE(rig.device.connectionCount(), 210);
    QVERIFY(rig.logSize() <= 100);
    // Closed sockets go once their last bytes are out; give them the time.
    QTRY_VERIFY_WITH_TIMEOUT(openDescriptors() <= descriptors, LiveRig::Patience);
    const qint64 grown = residentKb() - memory;
    qInfo("200 cycles in %lld ms; descriptors %d before, %d after; resident memory %+lld kB", ms,
          descriptors, openDescriptors(), grown);
    if (MemoryFiguresMeanSomething)
        QVERIFY2(grown < 4096, qPrintable(QStringLiteral("grew by %1 kB").arg(grown)));
    QVERIFY(rig.connectToDevice());
    QVERIFY(rig.queryInWorks());
}

QTEST_MAIN(tst_FaultsLink)
#include "tst_faults_link.moc"
