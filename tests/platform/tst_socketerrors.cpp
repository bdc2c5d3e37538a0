#include "platform/SocketErrors.h"

#include <QtTest>

class tst_SocketErrors : public QObject {
    Q_OBJECT

private slots:
    void networkFailureOfQtsDescription_data();
    void networkFailureOfQtsDescription();
};

void tst_SocketErrors::networkFailureOfQtsDescription_data() {
    QTest::addColumn<QString>("description");
    QTest::addColumn<int>("failure");
    // Qt's own descriptions of the system's errors.
    QTest::newRow("timed out") << "Connection timed out" << int(NetworkFailure::TimedOut);
    QTest::newRow("network") << "Network unreachable" << int(NetworkFailure::NetworkUnreachable);
    QTest::newRow("host") << "Host unreachable" << int(NetworkFailure::HostUnreachable);
    QTest::newRow("other") << "Unknown error" << int(NetworkFailure::Other);
    QTest::newRow("empty") << "" << int(NetworkFailure::Other);
}

void tst_SocketErrors::networkFailureOfQtsDescription() {
    QFETCH(QString, description);
    QFETCH(int, failure);
    QCOMPARE(int(networkFailureOf(description)), failure);
}

QTEST_GUILESS_MAIN(tst_SocketErrors)
#include "tst_socketerrors.moc"
