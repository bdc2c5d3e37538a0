#include "LineTally.h"

void Span::add(qint64 us) {
    shortestUs = seen() ? qMin(shortestUs, us) : us;
    longestUs = qMax(longestUs, us);
}

void LineTally::start(bool on, qint64 nowUs) {
    m_on = on;
    m_sinceUs = nowUs;
    m_sinceKnown = false;
}

Change LineTally::move(bool on, qint64 nowUs, qint64 minPulseUs) {
    Change change;
    change.on = on;
    change.widthUs = nowUs - m_sinceUs;
    change.widthAtLeast = !m_sinceKnown;
    if (m_sinceKnown) {
        (m_on ? m_onTimes : m_offTimes).add(change.widthUs);
        change.isShort = change.widthUs < minPulseUs;
        m_shortPulses += change.isShort ? 1 : 0;
    }
    change.edges = ++m_edges;
    m_on = on;
    m_sinceUs = nowUs;
    m_sinceKnown = true;
    return change;
}

Change LineTally::jump(bool on, qint64 nowUs) {
    Change change;
    change.on = on;
    change.unseen = true;
    change.edges = ++m_edges;
    start(on, nowUs);
    return change;
}
