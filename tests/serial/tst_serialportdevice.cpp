#include "FakeClock.h"
#include "FakeDeviceSocket.h"
#include "app/Tester.h"
#include "gpi/BlastTest.h"
#include "platform/SerialPortDevice.h"

#include <QtTest>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

namespace {

// A pseudo-terminal: the test writes into the master side, the port under test opens the
// other side as if it were a serial device.
class PseudoTerminal {
public:
    PseudoTerminal() {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_deviceName = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~PseudoTerminal() { closeMaster(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    QString deviceName() const { return m_deviceName; }
    bool write(const QByteArray &bytes) {
        return ::write(m_master, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    void closeMaster() {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_deviceName;
};

// Without a pseudo-terminal there is nothing to test against; an empty name would mean the
// system's first real port, which a test must never touch.
#define REQUIRE_PTY(pty)                                                                           \
    do {                                                                                           \
        if ((pty).deviceName().isEmpty())                                                          \
            QSKIP("no pseudo-terminal available");                                                 \
    } while (false)

const QString Missing = QStringLiteral("/nonexistent/ttyVorn0");

} // namespace

class tst_SerialPortDevice : public QObject {
    Q_OBJECT

private slots:
    void missingPortReportsNothing();
    void blastReleaseWithoutPort();
    void closedUntilOpened();
    void receivesWithoutWaiting();
    void inputBufferIsBounded();
    void vanishedPortIsTriedAgain();
};

void tst_SerialPortDevice::missingPortReportsNothing() {
    SerialPortDevice port(Missing);
    QVERIFY(!port.open());
    QVERIFY(!port.open()); // tried again, and fails the same way
    QCOMPARE(port.inBufferCount(), 0);
    QVERIFY(port.input().isEmpty());
}

// The whole blast on a PC without the port: the frame goes out, the release reports zero
// bytes and no error.
void tst_SerialPortDevice::blastReleaseWithoutPort() {
    QCoreApplication::setApplicationName(QStringLiteral("VORN GPI Tester"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));
    FakeDeviceSocket socket;
    FakeClock clock;
    SerialPortDevice serial(Missing);
    Tester tester(socket, clock, serial);
    socket.setState(DeviceSocket::Connected);
    tester.blast().Blast_MouseDown();
    tester.blast().Blast_MouseUp();
    QCOMPARE(socket.sent.size(), 1);
    QStringList lines;
    for (int i = 1; i < tester.form().ListBox->count(); ++i)
        lines << tester.form().ListBox->text(i);
    QCOMPARE(lines, (QStringList{"Serial transmit = 256", "Serial buffer =   0",
                                 "Serial receive =  0 + header = 4", ""}));
}

void tst_SerialPortDevice::closedUntilOpened() {
    PseudoTerminal pty;
    REQUIRE_PTY(pty);
    SerialPortDevice port(pty.deviceName());
    QVERIFY(pty.write("early"));
    QCoreApplication::processEvents();
    QCOMPARE(port.inBufferCount(), 0);
    QVERIFY(port.input().isEmpty());
}

void tst_SerialPortDevice::receivesWithoutWaiting() {
    PseudoTerminal pty;
    REQUIRE_PTY(pty);
    SerialPortDevice port(pty.deviceName());
    QVERIFY(port.open());
    QVERIFY(port.open()); // already open: nothing changes
    QCOMPARE(port.inBufferCount(), 0);
    const QByteArray bytes = QByteArray::fromHex("00fe0a0d55ff");
    QVERIFY(pty.write(bytes));
    QTRY_COMPARE(port.inBufferCount(), int(bytes.size()));
    QCOMPARE(port.input(), bytes);
    QCOMPARE(port.inBufferCount(), 0);
    QVERIFY(port.input().isEmpty());
}

// Qt holds at most 1024 bytes; the rest waits in the driver and comes with later reads.
void tst_SerialPortDevice::inputBufferIsBounded() {
    PseudoTerminal pty;
    REQUIRE_PTY(pty);
    SerialPortDevice port(pty.deviceName());
    QVERIFY(port.open());
    QByteArray sent;
    for (int i = 0; i < 3000; ++i)
        sent.append(char(i % 251));
    QVERIFY(pty.write(sent));
    QByteArray received;
    while (received.size() < sent.size()) {
        QTRY_VERIFY(port.inBufferCount() > 0);
        QVERIFY(port.inBufferCount() <= 1024);
        received += port.input();
    }
    QCOMPARE(received, sent);
}

void tst_SerialPortDevice::vanishedPortIsTriedAgain() {
    auto pty = std::make_unique<PseudoTerminal>();
    REQUIRE_PTY(*pty);
    SerialPortDevice port(pty->deviceName());
    QVERIFY(port.open());
    pty.reset(); // the device goes away: its errors close the port instead of spinning
    QTRY_VERIFY(!port.open());
    QCOMPARE(port.inBufferCount(), 0);
    QVERIFY(port.input().isEmpty());
}

QTEST_MAIN(tst_SerialPortDevice)
#include "tst_serialportdevice.moc"
