#pragma once

#include <QObject>
#include <QString>

namespace cli {

// Turns the system's requests to end the program (Ctrl+C, and on POSIX systems SIGINT,
// SIGTERM and SIGHUP) into a signal on the event loop, so that the program can end in order
// (summary printed, outputs put back) whichever way it is stopped.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);

    // The request's short name for messages, e.g. "SIGTERM".
    static QString name(int request);

signals:
    void received(int request);
};

} // namespace cli
