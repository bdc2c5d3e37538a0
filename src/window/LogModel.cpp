#include "LogModel.h"

#include <algorithm>

void LogModel::noteChange() {
    if (isPublished())
        emit changePending();
}

void LogModel::append(const QString &line) {
    noteChange();
    m_lines.append(line);
}

void LogModel::dropOldest(int count) {
    const qsizetype n = std::clamp<qsizetype>(count, 0, m_lines.size());
    if (n == 0)
        return;
    noteChange();
    m_lines.remove(0, n);
    m_dropped += n;
}

void LogModel::clear() {
    dropOldest(int(m_lines.size()));
}

LogModel::Published LogModel::publish() {
    Published change;
    if (isPublished())
        return change;
    const qsizetype removed = std::min(m_dropped, m_rows.size());
    const qsizetype kept = m_rows.size() - removed;
    m_dropped = 0;
    change.inserted = m_lines.mid(kept);
    if (removed > 0) {
        change.removed = int(removed);
        beginRemoveRows(QModelIndex(), 0, int(removed) - 1);
        m_rows.remove(0, removed);
        endRemoveRows();
    }
    if (!change.inserted.isEmpty()) {
        const int first = int(m_rows.size());
        beginInsertRows(QModelIndex(), first, first + int(change.inserted.size()) - 1);
        m_rows.append(change.inserted);
        endInsertRows();
    }
    return change;
}

int LogModel::lineOfRow(int row) const {
    if (row < 0 || row >= m_rows.size())
        return -1;
    const qsizetype line = row - std::min(m_dropped, m_rows.size());
    return line >= 0 ? int(line) : -1;
}

int LogModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant LogModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_rows.at(index.row());
    case Qt::SizeHintRole:
        return m_rowSize.isValid() ? QVariant(m_rowSize) : QVariant();
    default:
        return QVariant();
    }
}
