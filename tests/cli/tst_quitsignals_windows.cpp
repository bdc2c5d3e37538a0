#include "QuitSignals.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

#include <windows.h>

namespace {

// Wine marks itself by an export of its ntdll that Windows' own does not have.
bool underWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

} // namespace

// The console's control events reach the event loop as the request to quit they stand for.
class tst_QuitSignalsWindows : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void consoleEvent_data();
    void consoleEvent();
};

void tst_QuitSignalsWindows::initTestCase() {
    // A console of the test's own to send the events to, whatever it was started from.
    FreeConsole();
    QVERIFY(AllocConsole());
}

void tst_QuitSignalsWindows::consoleEvent_data() {
    QTest::addColumn<int>("event");
    QTest::addColumn<int>("request");
    QTest::addColumn<QString>("name");

    QTest::newRow("Ctrl+C") << int(CTRL_C_EVENT) << SIGINT << "SIGINT";
    QTest::newRow("Ctrl+Break") << int(CTRL_BREAK_EVENT) << SIGBREAK << "SIGBREAK";
}

void tst_QuitSignalsWindows::consoleEvent() {
    QFETCH(int, event);
    QFETCH(int, request);
    QFETCH(QString, name);

    if (event == CTRL_BREAK_EVENT && underWine())
        QSKIP("Wine 8 does not send Ctrl+Break (the README's list of what Wine cannot run)");

    cli::QuitSignals quitSignals;
    QSignalSpy received(&quitSignals, &cli::QuitSignals::received);
    // Group 0: every process of this console, this one among them.
    QVERIFY(GenerateConsoleCtrlEvent(DWORD(event), 0));
    QVERIFY(received.wait(5000));
    QCOMPARE(received.size(), 1);
    QCOMPARE(received.first().first().toInt(), request);
    QCOMPARE(cli::QuitSignals::name(request), name);
}

QTEST_GUILESS_MAIN(tst_QuitSignalsWindows)
#include "tst_quitsignals_windows.moc"
