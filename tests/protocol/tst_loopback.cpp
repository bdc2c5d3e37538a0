#include "FakeSerialPort.h"
#include "app/Tester.h"
#include "link/ConnectionControl.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

// The real window and the real socket against a device played by the test on 127.0.0.1.
class tst_Loopback : public QObject {
    Q_OBJECT

private slots:
    void requestsAndAnswers();
};

void tst_Loopback::requestsAndAnswers() {
    QLocale::setDefault(QLocale::c());
    QCoreApplication::setApplicationName(QStringLiteral("VORN GPI Tester"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));

    SystemClock clock;
    TcpDeviceSocket socket;
    FakeSerialPort serial;
    Tester tester(socket, clock, serial);
    Form1 &form = tester.form();
    form.show();
    form.Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
    form.Vorn_Port->setText(QString::number(server.serverPort()));
    tester.connection().Connect_Click();

    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *device = server.nextPendingConnection();
    QByteArray received;
    connect(device, &QTcpSocket::readyRead, this, [&] { received += device->readAll(); });
    // The link timer notices the connection on its own.
    QTRY_VERIFY(form.Vorn_State->text().startsWith(QStringLiteral("Connected")));
    QVERIFY(form.Query_Firmware->isEnabled());

    QTest::mouseClick(form.Query_Firmware, Qt::LeftButton);
    QTRY_COMPARE(received.toHex(' '), QByteArray("ff 00 02"));
    received.clear();
    device->write(QByteArray::fromHex("ff0000050502"));
    QTRY_COMPARE(form.windowTitle(), QStringLiteral("VORN GPI Tester v1.4.14 (Firmware v2.05)"));
    const QString idLine = form.ListBox->text(form.ListBox->count() - 1);
    QVERIFY2(QRegularExpression(QStringLiteral(R"(^ +\d+\.\d{3} \(\d\.\d{3}\) Firmware v2\.05 )"
                                               R"(\(\d+\.\dmS\)$)"))
                 .match(idLine)
                 .hasMatch(),
             qPrintable(idLine));
    QCOMPARE(form.StatusBar->currentMessage(), QStringLiteral("Received ID Response"));

    // An input message comes back unchanged in echo mode.
    form.Echo->setChecked(true);
    const QByteArray inputs = QByteArray::fromHex("ff000004fe7fff");
    device->write(inputs);
    QTRY_COMPARE(received.toHex(' '), inputs.toHex(' '));
    QVERIFY(form.GPI_In[0]->isChecked());
    QVERIFY(form.GPI_In[15]->isChecked());
    QVERIFY(!form.GPI_In[1]->isChecked());
    received.clear();

    // Garbage is reported and the link stays usable.
    device->write("garbage");
    QTRY_COMPARE(form.ListBox->text(form.ListBox->count() - 1),
                 QStringLiteral("First byte unknown"));

    form.Echo->setChecked(false);
    QTest::mouseClick(form.GPI_Out[5], Qt::LeftButton, {},
                      QPoint(6, form.GPI_Out[5]->height() / 2));
    QTRY_COMPARE(received.toHex(' '), QByteArray("ff 00 00 04 df ff ff"));

    tester.connection().Disconnect_Click();
    QTRY_COMPARE(device->state(), QAbstractSocket::UnconnectedState);
}

QTEST_MAIN(tst_Loopback)
#include "tst_loopback.moc"
