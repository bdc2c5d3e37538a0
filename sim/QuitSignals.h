#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a signal on the event loop, so that the program
// can end in order (summary printed) whichever way it is stopped.
class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);

signals:
    void received(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};
