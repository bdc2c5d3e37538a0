#include "RackRun.h"

#include "WiringCheck.h"

RackRun::RackRun(const QList<RackBox> &boxes, int jobs, const QString &operatorName,
                 QObject *parent)
    : QObject(parent), m_boxes(boxes), m_jobs(std::max(1, jobs)), m_operator(operatorName) {
    m_records.resize(m_boxes.size());
}

BoxLabel RackRun::labelOf(int index) const {
    return {m_boxes[index].unitId, m_operator};
}

void RackRun::start() {
    m_clock.start();
    startNext();
}

void RackRun::startNext() {
    while (m_running < m_jobs && m_next < m_boxes.size()) {
        const int index = m_next++;
        auto *check = new WiringCheck(m_boxes[index].settings, this);
        connect(check, &WiringCheck::finished, this,
                [this, index, check] { onCheckFinished(index, check); });
        ++m_running;
        m_checks << check;
        check->start();
    }
    finishIfDone();
}

void RackRun::finishIfDone() {
    if (m_running == 0 && m_next == m_boxes.size() && !m_finished) {
        m_finished = true;
        emit finished();
    }
}

void RackRun::onCheckFinished(int index, WiringCheck *check) {
    m_records[index] = RecordOf(*check, labelOf(index));
    m_checks.removeOne(check);
    check->deleteLater();
    --m_running;
    emit boxDone(index);
    startNext();
}

void RackRun::stop(const QString &why) {
    while (m_next < m_boxes.size()) {
        const int index = m_next++;
        m_records[index] = NotStartedRecord(m_boxes[index].settings, labelOf(index),
                                            QStringLiteral("%1 before its turn").arg(why));
        emit boxDone(index);
    }
    // Each check ends in its own time, once its box has its outputs back.
    const QList<WiringCheck *> running = m_checks;
    for (WiringCheck *check : running)
        check->stop(why);
    finishIfDone();
}
