#include "ConsoleProcess.h"

#include <csignal>

// A Windows process has no descriptors for a socket to take, and a write to a closed pipe
// fails without a signal: nothing to set up.
void holdStandardFiles() {}

void ignoreBrokenPipes() {}

QString quitSignalName(int number) {
    switch (number) {
    case SIGINT:
        return QStringLiteral("INT");
    case SIGBREAK:
        return QStringLiteral("BREAK");
    case SIGTERM:
        return QStringLiteral("TERM");
    default:
        return QString::number(number);
    }
}
