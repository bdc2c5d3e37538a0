#include "SendQueue.h"

#include <QTcpSocket>

namespace sim {

SendQueue::SendQueue(QObject *parent) : QObject(parent) {
    m_clock.start();
    m_due.setSingleShot(true);
    m_due.setTimerType(Qt::PreciseTimer);
    connect(&m_due, &QTimer::timeout, this, &SendQueue::pump);
    m_gap.setSingleShot(true);
    m_gap.setTimerType(Qt::PreciseTimer);
    m_gap.setInterval(50);
    connect(&m_gap, &QTimer::timeout, this, &SendQueue::finishSplit);
}

void SendQueue::attach(QTcpSocket *socket) {
    m_socket = socket;
    m_entries.clear();
    m_held.reset();
    m_remainder.clear();
    m_due.stop();
    m_gap.stop();
}

void SendQueue::enqueue(const QByteArray &bytes, const QString &kind, const QString &meaning,
                        const QString &replaceKey) {
    if (!m_socket)
        return;
    if (!replaceKey.isEmpty() && !m_entries.isEmpty() &&
        m_entries.back().replaceKey == replaceKey) {
        // It keeps its place and its time; only what it says is new.
        m_entries.back().bytes = bytes;
        m_entries.back().meaning = meaning;
        emit frameSuperseded(kind);
        return;
    }
    if (m_entries.size() >= MaxWaiting) {
        emit frameDropped(bytes, kind);
        return;
    }
    m_entries.append({bytes, kind, meaning, m_clock.elapsed() + m_delay, replaceKey});
    if (m_entries.size() == 1)
        pump();
}

void SendQueue::setDelay(int milliseconds) {
    m_delay = qMax(0, milliseconds);
}

void SendQueue::setPace(int milliseconds) {
    m_pace = qMax(0, milliseconds);
    m_due.stop();
    pump();
}

void SendQueue::armSplit(int at) {
    m_splitAt = qMax(0, at);
}

void SendQueue::pump() {
    while (m_socket && !m_gap.isActive() && !m_entries.isEmpty()) {
        const qint64 wait =
            qMax(m_entries.front().dueMs, m_lastWriteMs + m_pace) - m_clock.elapsed();
        if (wait > 0) {
            m_due.start(int(wait));
            return;
        }
        const Entry entry = m_entries.takeFirst();
        if (m_socket->bytesToWrite() > MaxBacklog) {
            emit frameDropped(entry.bytes, entry.kind);
            continue;
        }
        if (m_coalesce) {
            if (!m_held) {
                m_held = entry;
                continue;
            }
            const Entry first = *m_held;
            m_held.reset();
            m_coalesce = false;
            emit faultApplied(QStringLiteral("coalesce"));
            write(first.bytes + entry.bytes);
            emit frameWritten(first.bytes, first.kind, first.meaning,
                              QStringLiteral("coalesced: one write with the next frame"));
            emit frameWritten(entry.bytes, entry.kind, entry.meaning,
                              QStringLiteral("coalesced: one write with the previous frame"));
            continue;
        }
        if (m_splitAt >= 0 && entry.bytes.size() >= 2) {
            const qsizetype size = entry.bytes.size();
            const qsizetype at =
                m_splitAt == 0 ? size / 2 : qBound(qsizetype(1), qsizetype(m_splitAt), size - 1);
            m_splitAt = -1;
            m_remainder = entry.bytes.mid(at);
            emit faultApplied(QStringLiteral("split"));
            write(entry.bytes.left(at));
            m_gap.start();
            emit frameWritten(entry.bytes, entry.kind, entry.meaning,
                              QStringLiteral("split: %1 of %2 bytes now, the rest %3 ms later")
                                  .arg(at)
                                  .arg(entry.bytes.size())
                                  .arg(m_gap.interval()));
            return;
        }
        write(entry.bytes);
        emit frameWritten(entry.bytes, entry.kind, entry.meaning, QString());
    }
}

void SendQueue::finishSplitNow() {
    if (!m_gap.isActive())
        return;
    m_gap.stop();
    finishSplit();
}

void SendQueue::finishSplit() {
    if (m_socket)
        write(m_remainder);
    m_remainder.clear();
    pump();
}

void SendQueue::write(const QByteArray &chunk) {
    m_socket->write(chunk);
    m_socket->flush();
    m_lastWriteMs = m_clock.elapsed();
    emit chunkWritten(chunk);
}

} // namespace sim
