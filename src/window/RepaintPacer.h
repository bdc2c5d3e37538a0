#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QWidget;

// Repaints a window at most once per interval. Every change of a control asks for a repaint
// of the window on the next turn of the event loop; while the device streams messages that
// would repaint the log and the indicators for each message, far more often than a screen
// shows them, and the painting would crowd out the handling of the messages themselves.
// A request that comes sooner than one interval after the last repaint is held back and
// answered, together with every change made meanwhile, when the interval is over. Nothing
// is lost: the window always shows its latest state at most one interval late.
class RepaintPacer : public QObject {
    Q_OBJECT

public:
    static constexpr int DefaultIntervalMs = 16;

    explicit RepaintPacer(QWidget *window, int intervalMs = DefaultIntervalMs);

    // True while a repaint request is held back.
    bool isHolding() const { return m_release.isActive(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void release();

    QWidget *m_window;
    int m_intervalMs;
    QElapsedTimer m_sinceRepaint;
    QTimer m_release;
    bool m_releasing = false;
};
