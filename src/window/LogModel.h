#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <QStringList>

// The event log's lines, oldest first. Whoever logs changes them at once: a line appended,
// the oldest dropped. The rows that views see follow in one batch when publish() runs, so a
// device that streams messages costs a list append per line, and the views lay out and
// repaint once per batch instead of once per line.
class LogModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    // The lines as logged, whether published yet or not.
    int count() const { return int(m_lines.size()); }
    QString text(int row) const { return m_lines.value(row); }
    const QStringList &lines() const { return m_lines; }

    void append(const QString &line);
    // Drops the oldest count lines (all of them when there are fewer).
    void dropOldest(int count);
    void clear();

    // What publish() handed to the views.
    struct Published {
        int removed = 0;
        QStringList inserted;
    };
    // Brings the rows the views see in step with the lines: one removal of the oldest rows
    // and one insertion of the new ones.
    Published publish();
    bool isPublished() const { return m_dropped == 0 && m_rows.size() == m_lines.size(); }
    // The line that a published row shows, -1 when it has been dropped since.
    int lineOfRow(int row) const;

    // Every row's size: the views lay rows out at one size, the widest line's. A view lays its
    // rows out again after a change.
    void setRowSize(const QSize &size) { m_rowSize = size; }
    QSize rowSize() const { return m_rowSize; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

signals:
    // The first change since the last publish(): time to schedule the next one.
    void changePending();

private:
    void noteChange();

    QStringList m_lines;
    // The rows as last published, and how many of them have been dropped from the lines since.
    QStringList m_rows;
    qsizetype m_dropped = 0;
    QSize m_rowSize;
};
