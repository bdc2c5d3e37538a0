#include "LiveRig.h"

#include <QElapsedTimer>
#include <QRandomGenerator>

// What the device sends, at its worst: a megabyte of random bytes, a flood of 100,000
// messages, and frames cut in two at every byte. Every arrival gives one of the dispatcher's
// lines, every byte that arrives is fetched (nothing is held or lost), the log keeps to its
// 100 lines, and the link stays usable.
class tst_FaultsData : public QObject {
    Q_OBJECT

private slots:
    void randomMegabyte();
    void flood100000Messages();
    void splitFrame_data();
    void splitFrame();
};

namespace {

const QColor Green(0, 255, 0);

// Counts what each data-arrival notification carried. The dispatcher fetches everything
// buffered on each one, so the sum is every byte fetched.
struct ArrivalCounter {
    explicit ArrivalCounter(DeviceSocket &socket) {
        QObject::connect(&socket, &DeviceSocket::dataArrival, &context, [this](qint64 bytes) {
            ++arrivals;
            this->bytes += bytes;
            last = bytes;
        });
    }
    QObject context;
    int arrivals = 0;
    qint64 bytes = 0;
    qint64 last = 0;
};

bool isExpectedLine(const QString &line) {
    static const QStringList endings{" unknown",
                                     " GPI Input",
                                     " GPI Output",
                                     " Serial Port 1 Input",
                                     " Serial Port 2 Input",
                                     " Serial Port 3 Input",
                                     " Serial Port 4 Input"};
    for (const QString &ending : endings)
        if (line.endsWith(ending))
            return true;
    return line.startsWith(QLatin1String("Short ")) ||
           line.contains(QLatin1String(" Firmware v")) ||
           line == QLatin1String("GPI Input Status Request");
}

// After `burst` bytes from the device, Query In until its seven-byte answer arrives on its
// own: every byte of the burst has then been fetched, none more. An answer right behind the
// burst may share an arrival with the burst's tail; the next one then stands alone. With
// Echo on, an echoed arrival that ended inside a message leaves the device holding the
// start of a frame, which swallows the next request; that request is then asked again.
bool queryAfterBurst(LiveRig &rig, const ArrivalCounter &counter, qint64 burst) {
    const QString request = QStringLiteral("GPI input status request");
    int answers = 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int requests = rig.device.stats().framesReceived.value(request);
        rig.click(rig.form().GPI_Query_Inputs);
        if (!rig.waitDeviceCaughtUp())
            return false;
        if (rig.device.stats().framesReceived.value(request) == requests)
            continue;
        const qint64 expected = burst + 7 * ++answers;
        if (!QTest::qWaitFor([&] { return counter.bytes >= expected; }, LiveRig::Patience) ||
            counter.bytes != expected)
            return false;
        if (counter.last == 7 && rig.lastLog().endsWith(QLatin1String(" GPI Input")))
            return true;
    }
    return false;
}

// Everything logged since the connection (the log's newest lines, as many as there were
// arrivals) is the dispatcher's, or a request of the test.
void expectOnlyDispatcherLines(LiveRig &rig, int arrivals) {
    const QStringList lines = rig.log();
    QVERIFY(lines.size() <= 100);
    for (const QString &line : lines.mid(lines.size() - std::min(arrivals, int(lines.size()))))
        QVERIFY2(isExpectedLine(line), qPrintable(line));
}

void expectStillConnected(LiveRig &rig) {
    rig.tick();
    QVERIFY2(rig.stateText().startsWith(QLatin1String("Connected ")) ||
                 rig.stateText().startsWith(QLatin1String("Idle ")),
             qPrintable(rig.stateText()));
    QCOMPARE(rig.stateBackground(), Green);
    QVERIFY(rig.isConnectedLayout());
}

} // namespace

void tst_FaultsData::randomMegabyte() {
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    ArrivalCounter counter(rig.socket);
    QByteArray burst(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(20240607);
    for (char &byte : burst)
        byte = char(random.bounded(256));
    const qint64 memory = residentKb();

    QVERIFY(rig.device.sendRaw(burst));
    QVERIFY(queryAfterBurst(rig, counter, burst.size()));
    expectOnlyDispatcherLines(rig, counter.arrivals);
    expectStillConnected(rig);
    const qint64 grown = residentKb() - memory;
    qInfo("1 MiB in %d arrivals; resident memory %+lld kB", counter.arrivals, grown);
    if (MemoryFiguresMeanSomething)
        QVERIFY2(grown < 32768, qPrintable(QString::number(grown)));
}

// 100,000 GPI input messages, each its own write, with Echo on: each arrival that begins
// with a message goes back to the device whole. The device writes 50 at each turn of the
// event loop, so arrivals carry from one message to many.
void tst_FaultsData::flood100000Messages() {
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    rig.form().Echo->setChecked(true);
    ArrivalCounter counter(rig.socket);
    const qint64 memory = residentKb();
    QElapsedTimer elapsed;
    elapsed.start();
    constexpr int Total = 100000;
    int written = 0;
    // An event loop of its own, not a polling wait, so that the turns follow each other
    // without pauses.
    QEventLoop loop;
    QTimer pump;
    pump.setInterval(0);
    QObject::connect(&pump, &QTimer::timeout, [&] {
        for (int i = 0; i < 50 && written < Total; ++i, ++written) {
            const quint32 state = ~(1u << (written % 24)) & 0xFFFFFF;
            rig.device.sendRaw(QByteArray::fromHex("ff000004") + char(state & 0xFF) +
                               char(state >> 8) + char(state >> 16));
        }
        if (written == Total)
            loop.quit();
    });
    pump.start();
    QTimer::singleShot(600000, &loop, &QEventLoop::quit);
    loop.exec();
    pump.stop();
    QCOMPARE(written, Total);
    QVERIFY(queryAfterBurst(rig, counter, qint64(Total) * 7));
    const qint64 ms = elapsed.elapsed();
    QCOMPARE(rig.device.stats().dropped, 0);
    expectOnlyDispatcherLines(rig, counter.arrivals);
    // Echo mode held through it all, and the device got set-outputs frames back.
    QVERIFY(rig.form().Echo->isChecked());
    QVERIFY(rig.device.stats().framesReceived.value(QStringLiteral("set outputs")) > 0);
    // What the device keeps of each frame is that frame's bytes, not the read it came in.
    for (const sim::SimFrame &frame : rig.device.received())
        QVERIFY2(frame.bytes.capacity() < 1024,
                 qPrintable(QString::number(frame.bytes.capacity())));
    rig.form().Echo->setChecked(false);
    expectStillConnected(rig);
    const qint64 grown = residentKb() - memory;
    qInfo("100000 messages in %d arrivals, %lld ms; resident memory %+lld kB", counter.arrivals, ms,
          grown);
    if (MemoryFiguresMeanSomething)
        QVERIFY2(grown < 32768, qPrintable(QString::number(grown)));
}

// A frame from the device cut in two, each piece its own arrival: each piece is judged on
// its own, from its first byte, and nothing of the first is kept for the second.
void tst_FaultsData::splitFrame_data() {
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("cut");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("whole");
    // A GPI input message cut at every byte; how each kind's pieces read is in the
    // dispatcher's tests.
    const QByteArray frame = QByteArray::fromHex("ff000004feffff");
    const QString firstLines[] = {"Second byte unknown", "Third byte unknown",
                                  "Fourth byte unknown"};
    for (int cut = 1; cut < frame.size(); ++cut)
        QTest::addRow("cut after %d", cut)
            << frame << cut
            << (cut <= 3 ? firstLines[cut - 1]
                         : QStringLiteral("Short GPI Input message (%1 bytes)").arg(cut))
            << QString(frame.at(cut) == '\xff' ? "Second byte unknown" : "First byte unknown")
            << " GPI Input";
}

void tst_FaultsData::splitFrame() {
    QFETCH(QByteArray, frame);
    QFETCH(int, cut);
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, whole);
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    const QString caption = rig.form().windowTitle();
    const int mark = rig.logSize();

    // The second piece goes only once the first has been handled, so they arrive apart.
    QVERIFY(rig.device.sendRaw(frame.left(cut)));
    QVERIFY(rig.waitForLastLogEnding(first));
    QVERIFY(rig.device.sendRaw(frame.mid(cut)));
    QVERIFY(rig.waitForLastLog(second));
    QCOMPARE(rig.logSize(), mark + 2);
    QVERIFY(rig.log().at(mark).endsWith(first));
    // Neither piece showed a state or a version.
    for (int i = 0; i < Form1::GpiArraySize; ++i)
        QVERIFY(!rig.form().GPI_In[i]->isChecked() && !rig.form().GPI_Out[i]->isChecked());
    QCOMPARE(rig.form().windowTitle(), caption);

    // The same frame whole is understood.
    QVERIFY(rig.device.sendRaw(frame));
    QVERIFY(QTest::qWaitFor([&] { return rig.lastLog().contains(whole); }, LiveRig::Patience));
    QVERIFY(rig.queryInWorks());
}

QTEST_MAIN(tst_FaultsData)
#include "tst_faults_data.moc"
