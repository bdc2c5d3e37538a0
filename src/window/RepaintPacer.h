#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Repaints a window at most once per interval, in the window's idle moments. Every change of
// a control asks for a repaint of the window on the next turn of the event loop; while the
// device streams messages that would repaint the log and the indicators for each message,
// far more often than a screen shows them, and the painting would crowd out the handling of
// the messages themselves. A request that comes sooner than one interval after the last
// repaint is held back, and answered, together with every change made meanwhile, the first
// time the event loop is about to wait once the interval is over: right after a message or
// a tick has been handled, so the painting does not delay the next one. Should the loop find
// no moment to wait (or the window fall quiet), the held repaint is made after a second
// interval all the same. Nothing is lost: the window shows its latest state at most two
// intervals late.
class RepaintPacer : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultIntervalMs = 16;

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
    bool m_holding = false;
    bool m_releasing = false;
};
