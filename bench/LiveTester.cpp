#include "LiveTester.h"

#include "BenchClock.h"
#include "DeviceThread.h"

#include <QCoreApplication>

void ObservedClock::queryPerformanceCounter(CounterHalves &buffer) {
    m_lastReadNs = nowNs();
    m_clock.queryPerformanceCounter(buffer);
}

LiveTester::LiveTester(const QString &title, const QString &version) {
    QCoreApplication::setApplicationName(title);
    QCoreApplication::setApplicationVersion(version);
    m_tester = std::make_unique<Tester>(m_socket, m_clock, m_serial);
    m_tester->form().show();
}

LiveTester::~LiveTester() {
    m_socket.close();
}

bool LiveTester::connectTo(quint16 port) {
    Form1 &w = form();
    // The first link-status tick applies the disconnected layout, which enables Connect.
    if (!runUntil([&w] { return w.Connect->isEnabled(); }, 5000))
        return false;
    w.Vorn_Address->setEditText(QStringLiteral("127.0.0.1"));
    w.Vorn_Port->setText(QString::number(port));
    w.Connect->click();
    return runUntil(
        [&w] {
            return w.Vorn_State->text().startsWith(QLatin1String("Connected")) &&
                   w.All_On->isEnabled();
        },
        5000);
}

bool LiveTester::disconnect() {
    Form1 &w = form();
    w.Disconnect->click();
    return runUntil([&w] { return w.Connect->isEnabled(); }, 5000);
}
