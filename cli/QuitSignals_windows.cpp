#include "QuitSignals.h"

#include <QCoreApplication>
#include <QPointer>

#include <csignal>

#include <windows.h>

namespace cli {

namespace {

// The one object the console's handler reports to. The handler runs on a thread of its
// own, so it only queues the report for the object's thread.
QPointer<QuitSignals> listener;

BOOL WINAPI onConsoleEvent(DWORD event) {
    int number = 0;
    switch (event) {
    case CTRL_C_EVENT:
        number = SIGINT;
        break;
    case CTRL_BREAK_EVENT:
        number = SIGBREAK;
        break;
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        number = SIGTERM;
        break;
    default:
        return FALSE;
    }
    QCoreApplication *app = QCoreApplication::instance();
    if (!app)
        return FALSE;
    QMetaObject::invokeMethod(
        app,
        [number] {
            if (listener)
                emit listener->received(number);
        },
        Qt::QueuedConnection);
    if (event == CTRL_CLOSE_EVENT) {
        // Windows ends the process when the handler returns; a moment lets the event loop
        // end in order first.
        Sleep(2000);
    }
    return TRUE;
}

} // namespace

QuitSignals::QuitSignals(QObject *parent) : QObject(parent) {
    listener = this;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

QString QuitSignals::name(int request) {
    switch (request) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGBREAK:
        return QStringLiteral("SIGBREAK");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    default:
        return QString::number(request);
    }
}

} // namespace cli
