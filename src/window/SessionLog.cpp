#include "SessionLog.h"

SessionLog::SessionLog(int maxLines, qint64 maxBytes)
    : m_maxLines(qMax(1, maxLines)), m_maxBytes(maxBytes) {}

void SessionLog::append(const QString &line) {
    m_lines.push_back(line);
    m_bytes += lineCost(line);
    // The newest line stays even when it alone is over the size bound.
    while (m_lines.size() > 1 && (int(m_lines.size()) > m_maxLines || m_bytes > m_maxBytes)) {
        m_bytes -= lineCost(m_lines.front());
        m_lines.pop_front();
        ++m_dropped;
    }
    emit appended(line);
}

QString SessionLog::line(int index) const {
    if (index < 0 || index >= count())
        return QString();
    return m_lines[std::size_t(index)];
}

qint64 SessionLog::lineCost(const QString &line) {
    qint64 bytes = sizeof(QString);
    // Texts built at run time have a heap block: a 16-byte header, the characters with their
    // terminating null, and the allocator's own 8 bytes, in steps of 16. Literals have none.
    if (const qint64 capacity = line.capacity(); capacity > 0)
        bytes += (16 + 2 * (capacity + 1) + 8 + 15) / 16 * 16;
    return bytes;
}
