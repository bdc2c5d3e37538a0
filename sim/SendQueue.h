#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpSocket>
#include <QTimer>
#include <limits>
#include <optional>

namespace sim {

// The device's way out: frames go to the tester in order, each in one write, unless a fault
// says otherwise: a delay before every frame, the next frame split over two writes, or the
// next two frames joined into one write.
class SendQueue : public QObject {
    Q_OBJECT

public:
    // More than this waiting in the socket means the tester has stopped reading; further
    // frames are dropped rather than piled up.
    static constexpr qint64 MaxBacklog = 1 << 20;
    // Frames waiting their turn (behind a delay or a split); more are dropped.
    static constexpr int MaxWaiting = 4096;

    explicit SendQueue(QObject *parent = nullptr);

    // The connection to write to; nullptr drops everything queued. Armed faults stay armed.
    void attach(QTcpSocket *socket);

    // A frame with a replaceKey takes the place of a waiting frame with the same key, so a
    // report that has not gone out yet carries the latest state instead of queueing behind.
    void enqueue(const QByteArray &bytes, const QString &kind, const QString &meaning,
                 const QString &replaceKey = QString());

    void setDelay(int milliseconds);
    int delay() const { return m_delay; }

    // At least this long between two writes, as a device that sends its messages one by one
    // over its own slower links would space them.
    void setPace(int milliseconds);
    int pace() const { return m_pace; }

    // The next frame goes out in two writes, the first of `at` bytes (0: half the frame),
    // the second gapMs later.
    void armSplit(int at = 0);
    bool splitArmed() const { return m_splitAt >= 0; }
    void setSplitGap(int milliseconds) { m_gap.setInterval(milliseconds); }
    int splitGap() const { return m_gap.interval(); }
    // Sends the second piece of a split frame now instead of after the gap.
    void finishSplitNow();

    // The next frame waits for the one after it, and both go out in one write.
    void armCoalesce() { m_coalesce = true; }
    bool coalesceArmed() const { return m_coalesce; }

    int waiting() const { return int(m_entries.size()) + (m_held ? 1 : 0); }

signals:
    // A frame has gone out (its first piece, when split); note says how, if unusually.
    void frameWritten(const QByteArray &bytes, const QString &kind, const QString &meaning,
                      const QString &note);
    // Every write to the socket, as handed over.
    void chunkWritten(const QByteArray &chunk);
    void frameDropped(const QByteArray &bytes, const QString &kind);
    // A waiting frame was replaced by a newer one of the same key before it went out.
    void frameSuperseded(const QString &kind);
    // An armed fault has been used up: "split" or "coalesce".
    void faultApplied(const QString &fault);

private:
    struct Entry {
        QByteArray bytes;
        QString kind;
        QString meaning;
        qint64 dueMs = 0;
        QString replaceKey;
    };

    void pump();
    void write(const QByteArray &chunk);
    void finishSplit();

    QPointer<QTcpSocket> m_socket;
    QList<Entry> m_entries;
    std::optional<Entry> m_held;
    QByteArray m_remainder;
    QElapsedTimer m_clock;
    QTimer m_due;
    QTimer m_gap;
    int m_delay = 0;
    int m_pace = 0;
    qint64 m_lastWriteMs = std::numeric_limits<int>::min();
    int m_splitAt = -1;
    bool m_coalesce = false;
};

} // namespace sim
