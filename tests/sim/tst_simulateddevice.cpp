#include "CommandRunner.h"
#include "SimClient.h"
#include "SimulatedDevice.h"

#include <QTcpServer>
#include <QtTest>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace sim;

namespace {

constexpr int Patience = 10000;

QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// A plain blocking socket, to see how the connection ends: 0 for an orderly close, or the
// errno of a failed read (ECONNRESET after a reset).
struct RawClient {
    explicit RawClient(quint16 port) {
        fd = ::socket(AF_INET, SOCK_STREAM, 0);
        timeval patience{10, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof(patience));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ok = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof(address)) == 0;
    }
    ~RawClient() { ::close(fd); }
    int howItEnded() {
        char byte;
        const ssize_t n = ::recv(fd, &byte, 1, 0);
        return n == 0 ? 0 : n < 0 ? errno : -1;
    }
    int fd = -1;
    bool ok = false;
};

} // namespace

class tst_SimulatedDevice : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void answers_data();
    void answers();
    void framesWithoutAnswer();
    void serialLoopback();
    void inputsReportedOnlyWhenChanged();
    void walkAndPeriodicReports();
    void unknownBytesAreSkipped();
    void splitByTesterIsServedAndMarked();
    void splitFault();
    void coalesceFault();
    void delayFault();
    void garbageAndShortFrames();
    void waitingFramesAreBounded();
    void paceSpacesFrames();
    void waitingReportCarriesLatestInputs();
    void closeAndReset();
    void stopAndResumeListening();
    void secondTesterIsRefused();
    void incompleteFrameAtClose();
    void commandsOnTheDevice();

private:
    std::unique_ptr<SimulatedDevice> device;
    QStringList traceLines;
    std::unique_ptr<SimClient> connectClient();
};

void tst_SimulatedDevice::init() {
    device = std::make_unique<SimulatedDevice>();
    traceLines.clear();
    connect(device.get(), &SimulatedDevice::trace, this,
            [this](const QString &line) { traceLines << line; });
    QVERIFY(device->listen(QHostAddress::LocalHost, 0));
    QVERIFY(device->serverPort() != 0);
}

void tst_SimulatedDevice::cleanup() {
    device.reset();
}

std::unique_ptr<SimClient> tst_SimulatedDevice::connectClient() {
    auto client = std::make_unique<SimClient>(device->serverPort());
    if (!QTest::qWaitFor([&] { return client->connected() && device->hasConnection(); }, Patience))
        return nullptr;
    return client;
}

void tst_SimulatedDevice::answers_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("input status") << hex("ff0001") << hex("ff000004feff7f");
    QTest::newRow("output status after set outputs")
        << hex("ff000004dfefffff0005") << hex("ff000006dfefff");
    QTest::newRow("firmware 3.07") << hex("ff0002") << hex("ff0000050703");
    QTest::newRow("three requests in one write")
        << hex("ff0001ff0005ff0002") << hex("ff000004feff7f ff000006ffffff ff0000050703");
}

void tst_SimulatedDevice::answers() {
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, answer);
    device->setInputs(0x7FFFFE); // GPIs 1 and 24 on
    device->setFirmware(3, 7);
    auto client = connectClient();
    QVERIFY(client);
    client->write(request);
    QTRY_COMPARE_WITH_TIMEOUT(client->received.toHex(' '), answer.toHex(' '), Patience);
}

void tst_SimulatedDevice::framesWithoutAnswer() {
    auto client = connectClient();
    QVERIFY(client);
    // Set outputs, breaks and serial output go unanswered; the query after them is the only
    // thing that comes back.
    client->write(hex("ff000004000000") + hex("ff00040a") + hex("ff000401") + hex("ff000003") +
                  QByteArray("Hello port 4.\r\n"));
    client->writeHex("ff0001");
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff000004ffffff"), Patience);
    QCOMPARE(device->outputs(), GpiBits(0));
    QCOMPARE(device->serialBreaks(0), 1);
    QCOMPARE(device->serialBreaks(1), 1);
    QCOMPARE(device->serialBreaks(2), 0);
    QCOMPARE(device->serialBreaks(3), 1);
    QCOMPARE(device->serialBytesOut(3), 15);
    QCOMPARE(device->received().size(), 5);
    QCOMPARE(device->received().at(3).meaning,
             QStringLiteral("serial output, port 4, 15 bytes \"Hello port 4.\\r\\n\""));
}

void tst_SimulatedDevice::serialLoopback() {
    device->setSerialLoopback(true);
    auto client = connectClient();
    QVERIFY(client);
    // Break-Serial's two frames, then a greeting on port 2.
    client->write(hex("ff000401") + hex("ff000000") + QByteArray(8, 'U'));
    client->write(hex("ff000001") + QByteArray("Hello port 2.\r\n"));
    const QByteArray expected =
        hex("ff000000") + QByteArray(8, 'U') + hex("ff000001") + QByteArray("Hello port 2.\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(client->received, expected, Patience);
    QCOMPARE(device->stats().framesSent.value(QStringLiteral("serial input")), 2);
}

void tst_SimulatedDevice::inputsReportedOnlyWhenChanged() {
    QSignalSpy sent(device.get(), &SimulatedDevice::frameSent);
    // Without a tester a change is kept, not sent.
    QVERIFY(device->setInput(2, true));
    QCOMPARE(sent.size(), 0);
    auto client = connectClient();
    QVERIFY(client);
    QVERIFY(!device->setInputs(0xFFFFFB));
    QVERIFY(!device->setInput(2, true));
    QVERIFY(device->setInput(2, false));
    QVERIFY(!device->setInput(24, true)); // there is no GPI index 24
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff000004ffffff"), Patience);
    device->reportInputs();
    QTRY_COMPARE_WITH_TIMEOUT(client->received.size(), 14, Patience);
}

void tst_SimulatedDevice::walkAndPeriodicReports() {
    auto client = connectClient();
    QVERIFY(client);
    device->setWalkCount(3);
    device->setWalkPeriod(5);
    QTRY_VERIFY_WITH_TIMEOUT(client->received.size() >= 4 * 7, Patience);
    device->setWalkPeriod(0);
    QCOMPARE(client->received.left(28),
             hex("ff000004feffff ff000004fdffff ff000004fbffff ff000004feffff"));

    // Let what the walk sent before it stopped arrive before the reports start.
    QTRY_COMPARE_WITH_TIMEOUT(client->received.size(), device->stats().bytesSent, Patience);
    client->received.clear();
    device->setReportPeriod(5);
    QTRY_VERIFY_WITH_TIMEOUT(client->received.size() >= 3 * 7, Patience);
    device->setReportPeriod(0);
    const QByteArray report = gpiInputMessage(device->inputs());
    QCOMPARE(client->received.left(21), report + report + report);
}

void tst_SimulatedDevice::unknownBytesAreSkipped() {
    auto client = connectClient();
    QVERIFY(client);
    client->writeHex("1234ff0003ff0001");
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff000004ffffff"), Patience);
    QCOMPARE(device->received().size(), 3);
    QCOMPARE(device->received().at(0).kind, QStringLiteral("unknown bytes"));
    QCOMPARE(device->received().at(1).bytes, hex("ff0003"));
    QVERIFY(traceLines.join(u'\n').contains(
        QStringLiteral("recv 12 34                 unknown bytes: no frame the device knows "
                       "begins here; skipped")));
}

void tst_SimulatedDevice::splitByTesterIsServedAndMarked() {
    auto client = connectClient();
    QVERIFY(client);
    client->writeHex("ff00");
    QTRY_COMPARE_WITH_TIMEOUT(device->stats().bytesReceived, 2, Patience);
    client->writeHex("01");
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff000004ffffff"), Patience);
    QCOMPARE(device->stats().splitByTester, 1);
    QVERIFY(device->received().front().meaning.endsWith(
        QStringLiteral("[arrived in 2 reads: the tester split this frame]")));
}

void tst_SimulatedDevice::splitFault() {
    auto client = connectClient();
    QVERIFY(client);
    device->setSplitGap(20);
    device->splitNextFrame(3);
    client->writeHex("ff0001ff0005");
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff000004ffffff ff000006ffffff"), Patience);
    // Two writes for the first answer, one for the second; the fault is used up.
    QCOMPARE(device->writes(),
             (QList<QByteArray>{hex("ff0000"), hex("04ffffff"), hex("ff000006ffffff")}));
    QCOMPARE(device->stats().faults.value(QStringLiteral("split")), 1);
    QVERIFY(device->sent().front().meaning.endsWith(
        QStringLiteral("[split: 3 of 7 bytes now, the rest 20 ms later]")));
}

void tst_SimulatedDevice::coalesceFault() {
    auto client = connectClient();
    QVERIFY(client);
    device->coalesceNextTwo();
    client->writeHex("ff0002");
    // The answer waits for the next frame, which the input change brings.
    QTRY_COMPARE_WITH_TIMEOUT(device->received().size(), 1, Patience);
    QVERIFY(device->writes().isEmpty());
    device->setInput(0, true);
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff0000050502 ff000004feffff"), Patience);
    QCOMPARE(device->writes(), QList<QByteArray>{hex("ff0000050502ff000004feffff")});
    client->writeHex("ff0002");
    QTRY_COMPARE_WITH_TIMEOUT(device->writes().size(), 2, Patience);
}

void tst_SimulatedDevice::delayFault() {
    auto client = connectClient();
    QVERIFY(client);
    device->setAnswerDelay(60);
    client->writeHex("ff0001ff0002");
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff000004ffffff ff0000050502"), Patience);
    // Never early: each answer left at least the delay after its request came in (allowing
    // for the millisecond clock), and in order.
    const qint64 waited = device->sent().at(0).ns - device->received().at(0).ns;
    QVERIFY2(waited >= 58'000'000, qPrintable(QString::number(waited)));
    QVERIFY(device->sent().at(1).ns >= device->sent().at(0).ns);
}

void tst_SimulatedDevice::garbageAndShortFrames() {
    QVERIFY(!device->sendGarbage());
    auto client = connectClient();
    QVERIFY(client);
    QVERIFY(device->sendGarbage());
    QVERIFY(device->sendShortFrame());
    QVERIFY(device->sendRaw(hex("ff000005")));
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("deadbeef ff000004fe ff000005"), Patience);
    QCOMPARE(device->sent().at(1).meaning,
             QStringLiteral("short frame (fault): short GPI input message (5 bytes, needs 7)"));
    QCOMPARE(device->sent().at(2).meaning, QStringLiteral("short ID response (4 bytes, needs 6)"));
}

void tst_SimulatedDevice::waitingFramesAreBounded() {
    auto client = connectClient();
    QVERIFY(client);
    // Behind an hour's delay, a flood of reports keeps only so many waiting.
    device->setAnswerDelay(3600000);
    for (int i = 0; i < SendQueue::MaxWaiting + 100; ++i)
        device->reportInputs();
    QCOMPARE(device->stats().dropped, 100);
    QVERIFY(device->writes().isEmpty());
    QVERIFY(traceLines.join(u'\n').contains(QStringLiteral("dropping frames")));
}

void tst_SimulatedDevice::paceSpacesFrames() {
    auto client = connectClient();
    QVERIFY(client);
    device->setPace(30);
    client->writeHex("ff0001ff0005ff0002");
    QTRY_COMPARE_WITH_TIMEOUT(device->writes().size(), 3, Patience);
    // Never closer than the pace (allowing for the millisecond clock).
    for (int i = 1; i < 3; ++i) {
        const qint64 apart = device->sent().at(i).ns - device->sent().at(i - 1).ns;
        QVERIFY2(apart >= 28'000'000, qPrintable(QString::number(apart)));
    }
    QTRY_COMPARE_WITH_TIMEOUT(client->received.size(), 7 + 7 + 6, Patience);
}

void tst_SimulatedDevice::waitingReportCarriesLatestInputs() {
    auto client = connectClient();
    QVERIFY(client);
    device->setPace(3600000);
    device->setInput(0, true); // goes at once: nothing was sent before
    device->setInput(1, true); // waits for the pace
    device->setInput(2, true); // replaces the waiting one
    QCOMPARE(device->writes(), QList<QByteArray>{hex("ff000004feffff")});
    QCOMPARE(device->stats().superseded, 1);
    // An answer is never replaced, and keeps its place behind the report.
    client->writeHex("ff0001");
    QTRY_COMPARE_WITH_TIMEOUT(device->received().size(), 1, Patience);
    device->setInput(3, true);
    QCOMPARE(device->stats().superseded, 1);
    device->setPace(0);
    QTRY_COMPARE_WITH_TIMEOUT(client->received,
                              hex("ff000004feffff ff000004f8ffff ff000004f8ffff ff000004f0ffff"),
                              Patience);
}

void tst_SimulatedDevice::closeAndReset() {
    {
        RawClient raw(device->serverPort());
        QVERIFY(raw.ok);
        QTRY_VERIFY_WITH_TIMEOUT(device->hasConnection(), Patience);
        QVERIFY(device->closeConnection());
        QVERIFY(!device->hasConnection());
        QCOMPARE(raw.howItEnded(), 0);
    }
    {
        RawClient raw(device->serverPort());
        QVERIFY(raw.ok);
        QTRY_VERIFY_WITH_TIMEOUT(device->hasConnection(), Patience);
        QVERIFY(device->resetConnection());
        QCOMPARE(raw.howItEnded(), ECONNRESET);
    }
    QVERIFY(!device->closeConnection());
    QVERIFY(!device->resetConnection());
    QCOMPARE(device->connectionCount(), 2);
    QCOMPARE(device->stats().faults.value(QStringLiteral("close")), 1);
    QCOMPARE(device->stats().faults.value(QStringLiteral("reset")), 1);
}

void tst_SimulatedDevice::stopAndResumeListening() {
    const quint16 port = device->serverPort();
    device->stopListening();
    QVERIFY(!device->isListening());
    {
        QTcpSocket refused;
        QSignalSpy errors(&refused, &QTcpSocket::errorOccurred);
        refused.connectToHost(QStringLiteral("127.0.0.1"), port);
        QTRY_COMPARE_WITH_TIMEOUT(errors.size(), 1, Patience);
        QCOMPARE(refused.error(), QAbstractSocket::ConnectionRefusedError);
    }
    QVERIFY(device->resumeListening());
    QCOMPARE(device->serverPort(), port);
    auto client = connectClient();
    QVERIFY(client);
}

void tst_SimulatedDevice::secondTesterIsRefused() {
    auto first = connectClient();
    QVERIFY(first);
    SimClient second(device->serverPort());
    QTRY_COMPARE_WITH_TIMEOUT(second.disconnects, 1, Patience);
    QCOMPARE(device->stats().refused, 1);
    first->writeHex("ff0002");
    QTRY_COMPARE_WITH_TIMEOUT(first->received, hex("ff0000050502"), Patience);
    // Once the first has gone, the next one is served.
    first.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!device->hasConnection(), Patience);
    auto third = connectClient();
    QVERIFY(third);
    QCOMPARE(device->connectionCount(), 2);
}

void tst_SimulatedDevice::incompleteFrameAtClose() {
    auto client = connectClient();
    QVERIFY(client);
    client->writeHex("ff0000");
    client->socket.disconnectFromHost();
    QTRY_VERIFY_WITH_TIMEOUT(!device->hasConnection(), Patience);
    QVERIFY(traceLines.join(u'\n').contains(
        QStringLiteral("the connection ended inside a frame; dropped FF 00 00")));
}

void tst_SimulatedDevice::commandsOnTheDevice() {
    const auto run = [&](const char *line) {
        const ParsedCommand parsed = parseCommand(QString::fromLatin1(line));
        return parsed.ok() ? runCommand(*device, parsed.command) : parsed.error;
    };
    QCOMPARE(run("inputs FE FF FF"),
             QStringLiteral("inputs FE FF FF (on 1), no tester connected: nothing sent"));
    QCOMPARE(run("in 1 on"), QStringLiteral("inputs FE FF FF (on 1), unchanged: nothing sent"));
    QCOMPARE(run("send FF 00"), QStringLiteral("no tester connected: nothing sent"));
    QCOMPARE(run("fw 4.2"), QStringLiteral("firmware 4.02"));
    QCOMPARE(run("walk 100 8"), QStringLiteral("walk over 8 GPIs every 100 ms"));
    QCOMPARE(run("walk off"), QStringLiteral("walk off (it covers 8 GPIs when it runs)"));
    QCOMPARE(run("listen"),
             QStringLiteral("already listening on 127.0.0.1:%1").arg(device->serverPort()));
    run("delay 20");
    run("split");
    const QString state = run("state");
    QVERIFY2(state.contains(QStringLiteral("inputs: FE FF FF (on 1)")), qPrintable(state));
    QVERIFY(state.contains(QStringLiteral("outputs: FF FF FF (all off)")));
    QVERIFY(state.contains(QStringLiteral("firmware: 4.02")));
    QVERIFY(state.contains(QStringLiteral("tester: none")));
    QVERIFY(state.contains(QStringLiteral("faults armed: delay 20 ms, split next frame")));

    auto client = connectClient();
    QVERIFY(client);
    run("delay 0");
    run("split-gap 1");
    QCOMPARE(run("in 1-3 on"), QStringLiteral("inputs F8 FF FF (on 1-3), reported"));
    QTRY_COMPARE_WITH_TIMEOUT(client->received, hex("ff000004f8ffff"), Patience);
}

QTEST_GUILESS_MAIN(tst_SimulatedDevice)
#include "tst_simulateddevice.moc"
