// The window with the real socket and clock against a stand-in device on 127.0.0.1, driven
// through its buttons with the link timer running.
#include "FakeSerialPort.h"
#include "app/Tester.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor White(255, 255, 255);

QColor stateColour(const Form1 &w) {
    return w.Vorn_State->palette().color(QPalette::Base);
}

struct RealTester {
    RealTester() {
        QCoreApplication::setApplicationName(QStringLiteral("VORN GPI Tester"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));
        tester = std::make_unique<Tester>(socket, clock, serial);
    }
    Form1 &form() { return tester->form(); }
    QStringList log() const {
        QStringList lines;
        for (int i = 0; i < tester->form().ListBox->count(); ++i)
            lines << tester->form().ListBox->text(i);
        return lines;
    }
    void connectTo(const QString &port) {
        Form1 &w = form();
        QTRY_VERIFY(w.Connect->isEnabled());
        w.Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
        w.Vorn_Port->setText(port);
        QTest::mouseClick(w.Connect, Qt::LeftButton);
    }

    SystemClock clock;
    TcpDeviceSocket socket;
    FakeSerialPort serial;
    std::unique_ptr<Tester> tester;
};

} // namespace

class tst_DeviceLink : public QObject {
    Q_OBJECT

private slots:
    void connectPeerCloseDisconnect();
    void refusedShowsErrorAndHint();
    void invalidPortIsExplained();
    void connectAgainAfterError();
};

void tst_DeviceLink::connectPeerCloseDisconnect() {
    QTcpServer device;
    QVERIFY(device.listen(QHostAddress::LocalHost, 0));
    RealTester t;
    Form1 &w = t.form();
    t.connectTo(QString::number(device.serverPort()));
    QTRY_VERIFY(device.hasPendingConnections());
    QTcpSocket *far = device.nextPendingConnection();

    QTRY_COMPARE(w.Vorn_State->text(), QStringLiteral("Connected %1").arg(far->peerPort()));
    QCOMPARE(stateColour(w), Green);
    QVERIFY(!w.Connect->isEnabled() && !w.Vorn_Port->isEnabled());
    QVERIFY(w.All_On->isEnabled() && w.GPI_Out[23]->isEnabled());

    // The device closes its side: red, and the layout waits for the operator.
    far->disconnectFromHost();
    QTRY_COMPARE(w.Vorn_State->text(), QStringLiteral("Peer is closing connection"));
    QCOMPARE(stateColour(w), Red);
    QVERIFY(w.All_On->isEnabled());
    QTest::qWait(250);
    QCOMPARE(w.Vorn_State->text(), QStringLiteral("Peer is closing connection"));

    QTest::mouseClick(w.Disconnect, Qt::LeftButton);
    QTRY_COMPARE(w.Vorn_State->text(), QStringLiteral("Closed"));
    QCOMPARE(stateColour(w), White);
    QVERIFY(w.Connect->isEnabled() && !w.All_On->isEnabled());
    QCOMPARE(t.log().mid(1), (QStringList{"Connect", "Disconnect"}));
}

void tst_DeviceLink::refusedShowsErrorAndHint() {
    QTcpServer gone;
    QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(gone.serverPort());
    gone.close();
    RealTester t;
    Form1 &w = t.form();
    t.connectTo(port);
    QTRY_COMPARE(t.log().size(), 4);
    QCOMPARE(t.log()[1], QStringLiteral("Connect"));
    QVERIFY(!t.log()[2].isEmpty());
    QCOMPARE(t.log()[3], QStringLiteral("Hint: Power Cycle Vorn"));
    QTRY_COMPARE(w.Vorn_State->text(), QStringLiteral("Error"));
    QCOMPARE(stateColour(w), Red);
    // The failed attempt never left the disconnected layout.
    QVERIFY(w.Connect->isEnabled() && !w.All_On->isEnabled());
    QTest::mouseClick(w.Disconnect, Qt::LeftButton);
    QTRY_COMPARE(w.Vorn_State->text(), QStringLiteral("Closed"));
}

void tst_DeviceLink::invalidPortIsExplained() {
    RealTester t;
    t.connectTo(QStringLiteral("abc"));
    QTRY_COMPARE(t.log().size(), 4);
    QCOMPARE(t.log()[1], QStringLiteral("Connect"));
    QCOMPARE(t.log()[2],
             QStringLiteral("Invalid port \"abc\": enter a port number from 1 to 65535"));
    QCOMPARE(t.log()[3], QStringLiteral("10049"));
    QTRY_COMPARE(t.form().Vorn_State->text(), QStringLiteral("Error"));
}

void tst_DeviceLink::connectAgainAfterError() {
    QTcpServer device;
    QVERIFY(device.listen(QHostAddress::LocalHost, 0));
    RealTester t;
    Form1 &w = t.form();
    t.connectTo(QStringLiteral("0"));
    QTRY_COMPARE(w.Vorn_State->text(), QStringLiteral("Error"));
    // Without Disconnect first: a fresh attempt.
    t.connectTo(QString::number(device.serverPort()));
    QTRY_VERIFY(device.hasPendingConnections());
    QTRY_VERIFY(w.Vorn_State->text().startsWith(QLatin1String("Connected ")));
    QVERIFY(w.All_On->isEnabled());
    // And Connect while connected is explained, not silently ignored.
    w.Connect->setEnabled(true);
    QTest::mouseClick(w.Connect, Qt::LeftButton);
    QTRY_COMPARE(t.log().last(), QStringLiteral("10056"));
    QVERIFY(w.Vorn_State->text().startsWith(QLatin1String("Connected ")));
}

QTEST_MAIN(tst_DeviceLink)
#include "tst_devicelink.moc"
