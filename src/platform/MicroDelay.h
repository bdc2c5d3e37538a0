#pragma once

#include <QObject>
#include <QTimer>

class QSocketNotifier;

// A one-shot delay of a fraction of a millisecond, which QTimer cannot give: a kernel timer
// whose expiry wakes the event loop. Where there is no such timer, the next millisecond.
class MicroDelay : public QObject {
    Q_OBJECT

public:
    explicit MicroDelay(QObject *parent = nullptr);
    ~MicroDelay() override;

    // Starts (or starts again) the delay; timeout() follows once, after it.
    void start(int microseconds);
    void stop();
    bool isActive() const { return m_active; }

signals:
    void timeout();

private:
    void expire();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_fallback;
    bool m_active = false;
};
