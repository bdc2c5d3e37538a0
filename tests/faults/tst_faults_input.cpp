#include "LiveRig.h"
#include "gpi/BlastTest.h"

// Whatever an operator types into the port box, the address box or the blast count ends
// in a connection or in a clear log line from the socket's error event, never in a crash or
// in silence; and the link works afterwards. Malformed names are refused before any lookup,
// so no name-server query leaves the machine; "localhost" is looked up locally.
class tst_FaultsInput : public QObject {
    Q_OBJECT

private slots:
    void badPortText_data();
    void badPortText();
    void radixPortText();
    void badAddressText_data();
    void badAddressText();
    void localhost();
    void blastCount_data();
    void blastCount();
};

namespace {

const QColor Red(255, 0, 0);

QString invalidPortLine(const QString &shown) {
    return QStringLiteral("Invalid port \"%1\": enter a port number from 1 to 65535").arg(shown);
}

// Expects the attempt to end in the error event's lines, the red Error state and the
// disconnected layout, with nothing reaching the device; then connects properly.
void expectRefusedThenRecover(LiveRig &rig, int mark, const QStringList &lines) {
    QVERIFY(rig.waitForLastLog(lines.constLast()));
    QCOMPARE(rig.logSince(mark), QStringList{"Connect"} + lines);
    rig.tick();
    QCOMPARE(rig.stateText(), QStringLiteral("Error"));
    QCOMPARE(rig.stateBackground(), Red);
    QVERIFY(rig.isDisconnectedLayout());
    QCOMPARE(rig.device.connectionCount(), 0);
    QVERIFY(rig.connectToDevice());
    QVERIFY(rig.queryInWorks());
}

} // namespace

void tst_FaultsInput::badPortText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    // The socket's own test covers which texts are refused; these are how they are shown.
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("one too high") << QStringLiteral("65536") << QStringLiteral("65536");
    QTest::newRow("control character")
        << QStringLiteral("2") + QChar(1) + QLatin1Char('3') << QStringLiteral("2?3");
    // A long text is cut in the log line, so the line stays readable.
    QTest::newRow("1000 characters")
        << QString(1000, QLatin1Char('9')) << QString(40, QLatin1Char('9')) + QStringLiteral("...");
}

void tst_FaultsInput::badPortText() {
    QFETCH(QString, text);
    QFETCH(QString, shown);
    LiveRig rig;
    rig.tick();
    const int mark = rig.logSize();
    rig.connectTo(QStringLiteral("127.0.0.1"), text);
    expectRefusedThenRecover(rig, mark, {invalidPortLine(shown), QStringLiteral("10049")});
}

// "&H" and "&O" numbers are ports too: the device's own port written in hexadecimal
// reaches it.
void tst_FaultsInput::radixPortText() {
    LiveRig rig;
    rig.connectTo(QStringLiteral("127.0.0.1"),
                  QStringLiteral("&H") + QString::number(rig.devicePort(), 16).toUpper());
    QVERIFY(rig.waitConnected());
    QVERIFY(rig.queryInWorks());
    QVERIFY(rig.disconnectFromDevice());
    rig.connectTo(QStringLiteral("127.0.0.1"),
                  QStringLiteral(" &o") + QString::number(rig.devicePort(), 8) + u' ');
    QVERIFY(rig.waitConnected());
    QVERIFY(rig.queryInWorks());
}

void tst_FaultsInput::badAddressText_data() {
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shown");
    for (const char *address : {"999.1.1.1", "1.2.3.4.5", "vorn..local"})
        QTest::newRow(address) << QString::fromLatin1(address) << QString::fromLatin1(address);
    QTest::newRow("300 characters")
        << QString(300, QLatin1Char('a')) << QString(40, QLatin1Char('a')) + QStringLiteral("...");
    QString labels;
    for (int i = 0; i < 75; ++i)
        labels += QStringLiteral("abc.");
    QTest::newRow("300 characters in short labels") << labels << labels.left(40) + "...";
}

void tst_FaultsInput::badAddressText() {
    QFETCH(QString, address);
    QFETCH(QString, shown);
    LiveRig rig;
    rig.tick();
    const int mark = rig.logSize();
    rig.connectTo(address, QString::number(rig.devicePort()));
    expectRefusedThenRecover(rig, mark,
                             {QStringLiteral("Host not found: \"%1\"").arg(shown), "11001"});
}

void tst_FaultsInput::localhost() {
    LiveRig rig;
    rig.connectTo(QStringLiteral("localhost"), QString::number(rig.devicePort()));
    QVERIFY(rig.waitConnected());
    QVERIFY(rig.queryInWorks());
}

// The frame never exceeds 32771 bytes nor falls below 5, and the device receives all of it.
void tst_FaultsInput::blastCount_data() {
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("frameSize");
    // Which count gives which length is the blast tests' table; here the two ends cross the
    // real socket.
    QTest::newRow("largest") << "32771" << 32771;
    QTest::newRow("smallest") << "-32763" << 5;
}

void tst_FaultsInput::blastCount() {
    QFETCH(QString, count);
    QFETCH(int, frameSize);
    LiveRig rig;
    QVERIFY(rig.connectToDevice());
    rig.form().BlastCount->setText(count);
    rig.tester->blast().Blast_MouseDown();
    QCOMPARE(rig.lastLog(), QStringLiteral("Serial transmit = %1").arg(frameSize));
    // Everything after the four header bytes arrives as serial data for port 1.
    QVERIFY(QTest::qWaitFor([&] { return rig.device.serialBytesOut(0) >= frameSize - 4; },
                            LiveRig::Patience));
    QVERIFY(rig.queryInWorks());
    QCOMPARE(rig.device.serialBytesOut(0), qint64(frameSize - 4));
}

QTEST_MAIN(tst_FaultsInput)
#include "tst_faults_input.moc"
