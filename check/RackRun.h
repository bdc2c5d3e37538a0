#pragma once

#include "BoxRecord.h"
#include "RackFile.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>

class WiringCheck;

// Checks the boxes of a rack side by side in one event loop, at most jobs at once, each with
// a WiringCheck of its own: a box that fails, stays silent or refuses ends alone, on its own
// timeout, and the next box takes its place.
class RackRun : public QObject {
    Q_OBJECT

public:
    RackRun(const QList<RackBox> &boxes, int jobs, const QString &operatorName,
            QObject *parent = nullptr);

    void start();
    // Ends the run early: every check under way puts its box's outputs back and ends as an
    // error; the boxes not begun are recorded as not checked.
    void stop(const QString &why);

    // One per box, in the rack's order; complete once finished() is emitted.
    const QList<BoxRecord> &records() const { return m_records; }
    qint64 elapsedNs() const { return m_clock.nsecsElapsed(); }

signals:
    // A box's check ended; its record is in records().
    void boxDone(int index);
    void finished();

private:
    void startNext();
    void onCheckFinished(int index, WiringCheck *check);
    void finishIfDone();
    BoxLabel labelOf(int index) const;

    QList<RackBox> m_boxes;
    QList<BoxRecord> m_records;
    int m_jobs;
    QString m_operator;
    int m_next = 0;
    int m_running = 0;
    bool m_finished = false;
    QList<WiringCheck *> m_checks; // those under way
    QElapsedTimer m_clock;
};
