#include "LoopbackPorts.h"
#include "ProcessFigures.h"
#include "ResetOnClose.h"
#include "platform/TcpDeviceSocket.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

// Runs the deferred deletes that retired sockets leave behind.
void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// A device stand-in on 127.0.0.1 that keeps every accepted connection.
class Peer : public QObject {
public:
    Peer() {
        QVERIFY(m_server.listen(QHostAddress::LocalHost, 0));
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                accepted.push_back(s);
        });
    }
    QString port() const { return QString::number(m_server.serverPort()); }
    QTcpSocket *last() const { return accepted.empty() ? nullptr : accepted.back(); }
    void closeAll() {
        for (QTcpSocket *s : accepted)
            s->deleteLater();
        accepted.clear();
    }

    std::vector<QTcpSocket *> accepted;

private:
    QTcpServer m_server;
};

// A port where nothing listens, as the port box would hold it.
QString closedPortText() {
    return QString::number(closedPort());
}

struct ErrorEvent {
    qint16 number;
    QString description;
};

// Collects the socket's error events.
class ErrorLog : public QObject {
public:
    explicit ErrorLog(DeviceSocket &socket) {
        connect(&socket, &DeviceSocket::error, this, [this](qint16 number, const QString &text) {
            events.append({number, text});
        });
    }
    QList<ErrorEvent> events;
};

// The socket under test with a peer to connect to, and its error events.
struct Link {
    Peer peer;
    TcpDeviceSocket socket;
    ErrorLog errors{socket};

    // Connects and waits until both ends have the connection.
    bool open() {
        socket.connectToDevice(Loopback, peer.port());
        return QTest::qWaitFor(
            [this] { return socket.state() == DeviceSocket::Connected && peer.last(); });
    }
};

} // namespace

class tst_TcpDeviceSocket : public QObject {
    Q_OBJECT

private slots:
    void connectsSendsAndReportsLocalPort();
    void refusedConnectIsError();
    void peerResetIsErrorWithResetNumber();
    void invalidPortIsReportedNotAttempted_data();
    void invalidPortIsReportedNotAttempted();
    void portTextsThatAreValid_data();
    void portTextsThatAreValid();
    void hopelessHostIsNotLookedUp_data();
    void hopelessHostIsNotLookedUp();
    void unansweredConnectTimesOut();
    void connectWhileConnectedIsRefusedWithReason();
    void closeIsImmediateButSentDataArrives();
    void arrivalsAndPeerCloseLatchClosingUntilClose();
    void noDescriptorLeakOverManyConnections();
};

void tst_TcpDeviceSocket::connectsSendsAndReportsLocalPort() {
    Peer peer;
    TcpDeviceSocket socket;
    ErrorLog errors(socket);
    const QByteArray request("\xFF\x00\x01", 3);
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));
    QVERIFY(!socket.sendData(request));
    socket.connectToDevice(Loopback, peer.port());
    QVERIFY(socket.state() != DeviceSocket::Closed);
    QTRY_COMPARE(socket.state(), qint16(DeviceSocket::Connected));
    QTRY_VERIFY(peer.last());
    QCOMPARE(socket.localPort(), peer.last()->peerPort());
    QVERIFY(socket.localPort() != 0);
    // Data goes only while connected.
    QVERIFY(socket.sendData(request));
    QTRY_COMPARE(peer.last()->bytesAvailable(), 3);
    QCOMPARE(peer.last()->readAll(), request);
    socket.close();
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));
    QVERIFY(!socket.sendData(request));
    QVERIFY(errors.events.isEmpty());
}

void tst_TcpDeviceSocket::refusedConnectIsError() {
    TcpDeviceSocket socket;
    ErrorLog errors(socket);
    socket.connectToDevice(Loopback, closedPortText());
    QTRY_COMPARE(errors.events.size(), 1);
    QCOMPARE(errors.events[0].number, qint16(10061));
    QVERIFY(!errors.events[0].description.isEmpty());
    // Error stays until the operator closes.
    QCOMPARE(socket.state(), qint16(DeviceSocket::Error));
    QTest::qWait(50);
    QCOMPARE(socket.state(), qint16(DeviceSocket::Error));
    socket.close();
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));
}

void tst_TcpDeviceSocket::peerResetIsErrorWithResetNumber() {
    Link link;
    QVERIFY(link.open());
    auto &[peer, socket, errors] = link;
    sim::resetOnClose(*peer.last());
    peer.last()->abort();
    QTRY_COMPARE(socket.state(), qint16(DeviceSocket::Error));
    QCOMPARE(errors.events.size(), 1);
    QCOMPARE(errors.events[0].number, qint16(10054));
    QTest::qWait(50);
    QCOMPARE(socket.state(), qint16(DeviceSocket::Error));
    socket.close();
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));
}

void tst_TcpDeviceSocket::invalidPortIsReportedNotAttempted_data() {
    QTest::addColumn<QString>("port");
    QTest::newRow("empty") << "";
    QTest::newRow("letters") << "abc";
    QTest::newRow("negative") << "-1";
    QTest::newRow("zero") << "0";
    QTest::newRow("one too many") << "65536";
    QTest::newRow("beyond 32 bits") << "99999999999";
    QTest::newRow("blank inside") << " 2 3 ";
    QTest::newRow("fraction") << "23.5";
    QTest::newRow("very long") << QString(5000, QLatin1Char('7'));
}

void tst_TcpDeviceSocket::invalidPortIsReportedNotAttempted() {
    QFETCH(QString, port);
    TcpDeviceSocket socket;
    ErrorLog errors(socket);
    socket.connectToDevice(Loopback, port);
    // Nothing to wait for: the attempt is over before it began.
    QCOMPARE(socket.state(), qint16(DeviceSocket::Error));
    // The report comes as an event of its own, after the caller has finished.
    QVERIFY(errors.events.isEmpty());
    QTRY_COMPARE(errors.events.size(), 1);
    const QString text = errors.events[0].description;
    QVERIFY2(text.contains(QLatin1String("port"), Qt::CaseInsensitive), qPrintable(text));
    QVERIFY2(text.contains(QLatin1String("1 to 65535")), qPrintable(text));
    QVERIFY2(text.size() < 120, qPrintable(text));
    QVERIFY(errors.events[0].number != 0);
    socket.close();
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));
}

void tst_TcpDeviceSocket::portTextsThatAreValid_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("port");
    QTest::newRow("plain") << "23" << 23;
    QTest::newRow("blanks around") << " 23 " << 23;
    QTest::newRow("highest") << "65535" << 65535;
    QTest::newRow("hex") << "&H17" << 23;
    QTest::newRow("octal") << "&o27" << 23;
}

void tst_TcpDeviceSocket::portTextsThatAreValid() {
    QFETCH(QString, text);
    QFETCH(int, port);
    QCOMPARE(TcpDeviceSocket::parsePort(text), port);
}

void tst_TcpDeviceSocket::hopelessHostIsNotLookedUp_data() {
    QTest::addColumn<QString>("host");
    QTest::newRow("empty") << "";
    QTest::newRow("blank") << "   ";
    QTest::newRow("octet too big") << "999.1.1.1";
    QTest::newRow("300 characters") << QString(300, QLatin1Char('a'));
    QTest::newRow("label too long") << QString(64, QLatin1Char('b')) + QLatin1String(".example");
    QTest::newRow("blank inside") << "my vorn";
    QTest::newRow("control character") << QStringLiteral("vorn\x01");
}

void tst_TcpDeviceSocket::hopelessHostIsNotLookedUp() {
    QFETCH(QString, host);
    TcpDeviceSocket socket;
    ErrorLog errors(socket);
    socket.connectToDevice(host, QStringLiteral("23"));
    // No resolving state: the name never reached a resolver.
    QCOMPARE(socket.state(), qint16(DeviceSocket::Error));
    QTRY_COMPARE(errors.events.size(), 1);
    QCOMPARE(errors.events[0].number, qint16(11001));
    QVERIFY(!errors.events[0].description.isEmpty());
}

void tst_TcpDeviceSocket::unansweredConnectTimesOut() {
    FullListener listener;
    QVERIFY(listener.port() != 0);
    TcpDeviceSocket socket;
    ErrorLog errors(socket);
    socket.setConnectTimeout(300);
    socket.connectToDevice(Loopback, QString::number(listener.port()));
    QTRY_VERIFY_WITH_TIMEOUT(!errors.events.isEmpty() || socket.state() == DeviceSocket::Connected,
                             10000);
    if (socket.state() == DeviceSocket::Connected)
        QSKIP("this system answered a connect to a full listener; no unanswered connect here");
    QCOMPARE(errors.events.size(), 1);
    QCOMPARE(errors.events[0].number, qint16(10060));
    QCOMPARE(socket.state(), qint16(DeviceSocket::Error));
    socket.close();
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));
}

void tst_TcpDeviceSocket::connectWhileConnectedIsRefusedWithReason() {
    Peer peer;
    TcpDeviceSocket socket;
    ErrorLog errors(socket);
    socket.connectToDevice(Loopback, peer.port());
    QTRY_COMPARE(socket.state(), qint16(DeviceSocket::Connected));
    const quint16 port = socket.localPort();
    socket.connectToDevice(Loopback, peer.port());
    QTRY_COMPARE(errors.events.size(), 1);
    QCOMPARE(errors.events[0].number, qint16(10056));
    QVERIFY2(errors.events[0].description.contains(QLatin1String("Disconnect")),
             qPrintable(errors.events[0].description));
    // The connection that exists is left alone.
    QCOMPARE(socket.state(), qint16(DeviceSocket::Connected));
    QCOMPARE(socket.localPort(), port);
    QCOMPARE(int(peer.accepted.size()), 1);

    // The same while the peer has closed: the connection is still ours until Disconnect.
    peer.last()->disconnectFromHost();
    QTRY_COMPARE(socket.state(), qint16(DeviceSocket::Closing));
    socket.connectToDevice(Loopback, peer.port());
    QTRY_COMPARE(errors.events.size(), 2);
    QVERIFY2(errors.events[1].description.contains(QLatin1String("Disconnect")),
             qPrintable(errors.events[1].description));
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closing));
}

void tst_TcpDeviceSocket::closeIsImmediateButSentDataArrives() {
    Link link;
    QVERIFY(link.open());
    auto &[peer, socket, errors] = link;
    // More than the kernel takes at once, so some of it is still queued at close().
    QByteArray block(8 * 1024 * 1024, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = char(i * 7);
    QVERIFY(socket.sendData(block));
    socket.close();
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));

    QTcpSocket *far = peer.last();
    QByteArray received;
    QTRY_VERIFY_WITH_TIMEOUT(
        (received += far->readAll(), far->state() == QAbstractSocket::UnconnectedState), 20000);
    received += far->readAll();
    QCOMPARE(received.size(), block.size());
    QVERIFY(received == block);
}

void tst_TcpDeviceSocket::arrivalsAndPeerCloseLatchClosingUntilClose() {
    Link link;
    auto &[peer, socket, errors] = link;
    QByteArray got;
    connect(&socket, &DeviceSocket::dataArrival, this, [&](qint64 total) {
        QVERIFY(total > 0);
        got += socket.getData();
    });
    QVERIFY(link.open());
    peer.last()->write(QByteArray("\xFF\x00\x00\x04\x01\x02\x03", 7));
    QTRY_COMPARE(got, QByteArray("\xFF\x00\x00\x04\x01\x02\x03", 7));
    // What arrives just before the peer closes is still there to be fetched.
    QSignalSpy peerGone(peer.last(), &QTcpSocket::disconnected);
    peer.last()->write(QByteArray("\xFF\x00\x00\x05\x05\x02", 6));
    peer.last()->disconnectFromHost();
    QTRY_COMPARE(socket.state(), qint16(DeviceSocket::Closing));
    QTRY_COMPARE(got.size(), 13);
    QVERIFY(socket.getData().isEmpty());
    // Closing holds until the operator closes, without an error, and sends nothing.
    QTest::qWait(50);
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closing));
    QVERIFY(errors.events.isEmpty());
    QVERIFY(!socket.sendData(QByteArray("\xFF\x00\x01", 3)));
    socket.close();
    QCOMPARE(socket.state(), qint16(DeviceSocket::Closed));
    // Our side of the connection goes too.
    QTRY_VERIFY(peerGone.count() > 0 || peer.last()->state() == QAbstractSocket::UnconnectedState);
}

void tst_TcpDeviceSocket::noDescriptorLeakOverManyConnections() {
    Peer peer;
    auto socket = std::make_unique<TcpDeviceSocket>();
    settle();
    const int before = openDescriptors();
    for (int i = 0; i < 200; ++i) {
        socket->connectToDevice(Loopback, peer.port());
        QTRY_COMPARE(socket->state(), qint16(DeviceSocket::Connected));
        switch (i % 3) {
        case 0: // the operator disconnects
            socket->close();
            break;
        case 1: // the device closes first
            QTRY_VERIFY(!peer.accepted.empty());
            peer.last()->disconnectFromHost();
            QTRY_COMPARE(socket->state(), qint16(DeviceSocket::Closing));
            socket->close();
            break;
        case 2: // sent data still queued at close
            socket->sendData(QByteArray(1000, 'x'));
            socket->close();
            break;
        }
        QTRY_VERIFY(!peer.accepted.empty());
        peer.closeAll();
        settle();
    }
    // A failed attempt and a refused port leave nothing behind either.
    socket->connectToDevice(Loopback, closedPortText());
    QTRY_COMPARE(socket->state(), qint16(DeviceSocket::Error));
    socket->close();
    QTRY_COMPARE(openDescriptors(), before);
}

QTEST_GUILESS_MAIN(tst_TcpDeviceSocket)
#include "tst_tcpdevicesocket.moc"
