#pragma once

#include <QObject>
#include <QString>

#include <deque>

// Every line the event log has been given in this run, oldest first, far beyond the hundred
// the log shows. It is bounded: a device that floods the tester would otherwise grow it without
// end. When either bound is passed the oldest lines go first, and they are counted.
class SessionLog : public QObject {
    Q_OBJECT

public:
    // A flood's line (the stamped " GPI Input") takes 104 bytes of heap held here, text and
    // place in the list (vorn-bench-session-memory): 120,000 of them are 11.9 MiB.
    static constexpr int DefaultMaxLines = 120000;
    // Longer lines are bounded by their size: 16 MiB whatever their length.
    static constexpr qint64 DefaultMaxBytes = 16 * 1024 * 1024;

    explicit SessionLog(int maxLines = DefaultMaxLines, qint64 maxBytes = DefaultMaxBytes);

    void append(const QString &line);

    int count() const { return int(m_lines.size()); }
    // The line at index, oldest first; an empty text outside the log.
    QString line(int index) const;
    // How many lines were dropped to keep within the bounds.
    qint64 dropped() const { return m_dropped; }
    // The memory the held lines take, as estimated by lineCost().
    qint64 bytes() const { return m_bytes; }
    int maxLines() const { return m_maxLines; }
    qint64 maxBytes() const { return m_maxBytes; }

    // What one held line costs: its place in the list and the text's own allocation, which it
    // shares with the shown log while the line is still there.
    static qint64 lineCost(const QString &line);

signals:
    // Each line as it is appended, in order.
    void appended(const QString &line);

private:
    std::deque<QString> m_lines;
    qint64 m_bytes = 0;
    qint64 m_dropped = 0;
    int m_maxLines;
    qint64 m_maxBytes;
};
