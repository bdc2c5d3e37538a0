#pragma once

#include "BoxLink.h"
#include "DeviceStream.h"
#include "LineTally.h"
#include "MonEvent.h"
#include "MonSettings.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <array>
#include <optional>

// Watches a box: connects, reads the start state, then turns every report into the changes
// of its lines, and keeps the counts for the summary. Read-only: it talks to the box through
// BoxLink alone. What it sees comes out as events, for the text, JSON and VCD writers.
class Monitor : public QObject {
    Q_OBJECT

public:
    explicit Monitor(MonSettings settings, QObject *parent = nullptr);

    void start();
    // Ends the run with the summary; why tells what ended it.
    void stop(const QString &why);

    // The state last read (the start state before the first report).
    const GpiState &state() const { return m_state; }
    qint64 elapsedUs() const { return m_clock.nsecsElapsed() / 1000; }

    // The steps of the retry after a lost link, in seconds: 1, 2, 4 ... 30.
    static int retryDelayS(int attempt);

signals:
    void happened(const MonEvent &event);
    // The end: 0 after a normal end, 2 when the box could not be watched (error says why).
    void finished(int status, const QString &error);

private:
    enum class Phase { Idle, Connecting, Asking, Watching, Down, Ended };

    void connectBox();
    void onOpened();
    void onReceived(const QByteArray &bytes);
    void onClosed(const QString &reason);
    void onQuiet();
    void handleFrame(const QByteArray &frame);
    void takeLines(quint32 bits, bool outputs);
    void stateComplete();
    void lose(const QString &reason);
    void end(int status, const QString &error, const QString &why);
    MonEvent newEvent(MonEvent::Kind kind) const;
    void countEdge();
    LineTally &tally(bool output, int index) {
        return (output ? m_outputTally : m_inputTally)[index];
    }

    MonSettings m_settings;
    BoxLink m_link;
    cli::DeviceStream m_stream;
    QElapsedTimer m_clock;
    QTimer m_quiet;
    QTimer m_heartbeat;
    QTimer m_outputsPoll;
    QTimer m_retry;
    QTimer m_duration;
    Phase m_phase = Phase::Idle;
    bool m_probed = false;
    bool m_everWatched = false;
    int m_attempt = 0;
    qint64 m_lostUs = 0;

    GpiState m_state;
    // What the asking phase has read so far.
    std::optional<QString> m_firmwareRead;
    std::optional<quint32> m_inputsRead;
    std::optional<quint32> m_outputsRead;

    std::array<LineTally, 24> m_inputTally;
    std::array<LineTally, 24> m_outputTally;
    RunSummary m_summary;
};
