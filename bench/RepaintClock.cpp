#include "RepaintClock.h"

#include "BenchClock.h"

#include <QEvent>
#include <QWidget>

std::vector<double> RepaintClock::takeRepaintsUs() {
    std::vector<double> taken;
    taken.swap(m_repaintsUs);
    return taken;
}

bool RepaintClock::notify(QObject *receiver, QEvent *event) {
    if (receiver != m_window || event->type() != QEvent::UpdateRequest)
        return QApplication::notify(receiver, event);
    const std::int64_t start = nowNs();
    const bool handled = QApplication::notify(receiver, event);
    const double us = double(nowNs() - start) / 1000.0;
    // A request that is only held back for later takes a microsecond or two.
    if (us > 20)
        m_repaintsUs.push_back(us);
    return handled;
}
