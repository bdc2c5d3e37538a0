#include "RepaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

RepaintPacer::RepaintPacer(QWidget *window, int intervalMs)
    : QObject(window), m_window(window), m_intervalMs(intervalMs) {
    m_release.setSingleShot(true);
    m_release.setTimerType(Qt::PreciseTimer);
    connect(&m_release, &QTimer::timeout, this, &RepaintPacer::release);
    window->installEventFilter(this);
}

bool RepaintPacer::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_releasing)
        return QObject::eventFilter(watched, event);
    if (m_release.isActive())
        return true;
    const qint64 since = m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : m_intervalMs;
    if (since >= m_intervalMs) {
        m_sinceRepaint.start();
        return QObject::eventFilter(watched, event);
    }
    // Qt posts no further request while this one is unanswered; the changes made meanwhile
    // gather in the window's dirty region and are all painted by the one released later.
    m_release.start(int(m_intervalMs - since));
    return true;
}

void RepaintPacer::release() {
    m_sinceRepaint.start();
    m_releasing = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_releasing = false;
}
