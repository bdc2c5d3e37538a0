#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include "platform/MicroDelay.h"

class QWidget;

// Repaints a window at most once per interval, in the window's idle moments. Every change of
// a control asks for a repaint of the window on the next turn of the event loop; while the
// device streams messages that would repaint the log and the indicators for each message,
// far more often than a screen shows them, and the painting would crowd out the handling of
// the messages themselves. Requests are held back and answered together, with every change
// made meanwhile, once the interval since the last repaint is over and the event loop is
// about to wait: right after a message or a tick has been handled, so the painting does not
// delay the next one. Even then the repaint waits a fraction of a millisecond with the loop
// asleep: the frame just written to a device on this machine is read by the device's program
// at once, instead of after the painting (the system lets the reader run on the writer's
// processor, expecting the writer to sleep). Should the loop find no moment to wait (or the
// window fall quiet), the held repaint is made after a second interval all the same. Nothing
// is lost: the window shows its latest state at most two intervals late.
class RepaintPacer : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultIntervalMs = 16;
    static constexpr int SettleUs = 250;

    // latestMs: the longest a repaint is held back; two intervals when not given.
    explicit RepaintPacer(QWidget *window, int intervalMs = DefaultIntervalMs, int latestMs = 0);

    // True while a repaint request is held back.
    bool isHolding() const { return m_holding; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    qint64 sinceRepaint() const;
    void onIdle();
    void release();

    QWidget *m_window;
    int m_intervalMs;
    int m_latestMs;
    QElapsedTimer m_sinceRepaint;
    QTimer m_latest;
    MicroDelay m_settle;
    bool m_holding = false;
    bool m_releasing = false;
};
