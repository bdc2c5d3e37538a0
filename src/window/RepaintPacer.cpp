#include "RepaintPacer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

RepaintPacer::RepaintPacer(QWidget *window, int intervalMs, int latestMs)
    : QObject(window), m_window(window), m_intervalMs(intervalMs),
      m_latestMs(latestMs > 0 ? latestMs : 2 * intervalMs) {
    m_latest.setSingleShot(true);
    m_latest.setTimerType(Qt::PreciseTimer);
    connect(&m_latest, &QTimer::timeout, this, &RepaintPacer::release);
    connect(&m_settle, &MicroDelay::timeout, this, &RepaintPacer::release);
    if (QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(thread()))
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &RepaintPacer::onIdle);
    window->installEventFilter(this);
}

qint64 RepaintPacer::sinceRepaint() const {
    return m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : m_latestMs;
}

bool RepaintPacer::eventFilter(QObject *watched, QEvent *event) {
    if (watched != m_window || event->type() != QEvent::UpdateRequest || m_releasing)
        return QObject::eventFilter(watched, event);
    if (m_holding)
        return true;
    // Qt posts no further request while this one is unanswered; the changes made meanwhile
    // gather in the window's dirty region and are all painted by the one released later.
    m_holding = true;
    // The latest moment is never sooner than one interval away, so that the loop's next wait
    // is what normally brings the repaint.
    m_latest.start(int(std::max<qint64>(m_intervalMs, m_latestMs - sinceRepaint())));
    return true;
}

void RepaintPacer::onIdle() {
    if (m_holding && !m_settle.isActive() && sinceRepaint() >= m_intervalMs)
        m_settle.start(SettleUs);
}

void RepaintPacer::release() {
    m_latest.stop();
    m_settle.stop();
    if (!m_holding)
        return;
    m_holding = false;
    m_sinceRepaint.start();
    m_releasing = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(m_window, &request);
    m_releasing = false;
}
