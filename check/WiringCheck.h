#pragma once

#include "DeviceStream.h"
#include "Diagnosis.h"
#include "WiringMap.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>

#include <optional>

struct CheckSettings {
    QHostAddress address;
    quint16 port = 23;
    int gpis = 24;
    WiringMap map = StraightMap(24);
    int settleMs = 50;
    int timeoutMs = 1000;
};

struct ChannelResult {
    Channel channel;
    ChannelVerdict verdict;
    // From the output change to the first input report that showed the expected input on;
    // nothing when none did.
    std::optional<double> responseMs;
    double seconds = 0; // the channel's step, from its output change to its input answer
};

// Everything a report says about one check.
struct CheckResult {
    QString address;
    quint16 port = 0;
    QString firmware;                 // "2.05", empty until the box told it
    QDateTime started;                // local time
    QString map;                      // where the map came from
    quint32 outputsBefore = 0xFFFFFF; // as on the wire, active low
    quint32 inputsAllOff = 0;         // 1 = on
    quint32 inputsAllOn = 0;
    QList<ChannelResult> channels;
    qint64 elapsedNs = 0;

    int faulty() const;
};

// Walks the outputs of a box whose outputs are looped back to its inputs, over one TCP
// connection, driven by the socket's signals and one timer: connect; ask for the firmware
// version and the outputs, and keep them; all outputs off, settle, ask for the inputs; all
// outputs on, the same; each channel's output alone on, the same; put the outputs back. Input
// reports the box sends by itself count as the latest input state too.
//
// On every way out after the outputs were first changed, and while the connection stands, the
// outputs are set back to what they were before the check.
class WiringCheck : public QObject {
    Q_OBJECT

public:
    enum class Outcome { Running, Pass, Fail, Error };

    explicit WiringCheck(const CheckSettings &settings, QObject *parent = nullptr);

    void start();
    // Ends the check early as an error (a quit signal): the outputs are put back first.
    void stop(const QString &why);

    Outcome outcome() const { return m_outcome; }
    // Why the check could not be made, for Outcome::Error.
    QString error() const { return m_error; }
    const CheckResult &result() const { return m_result; }
    const CheckSettings &settings() const { return m_settings; }
    // Whether the check changed the box's outputs, and whether it then sent them back as they
    // were before (false when the link was gone by then).
    bool outputsChanged() const { return m_outputsChanged; }
    bool outputsRestored() const { return m_restoreSent; }

signals:
    // Before each step: its number from 1, the number of steps, and what it does.
    void progress(int step, int steps, const QString &what);
    void finished();

private:
    enum class Phase { Idle, Connecting, Firmware, Outputs, Settling, Inputs, Restoring, Done };
    struct Step {
        quint32 outputsOn = 0; // 1 = on
        int channel = -1;      // index into the map's channels; -1 for all off and all on
    };

    void onConnected();
    void onReadyRead();
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void onTimeout();
    void handleFrame(const QByteArray &frame);
    void ask(Phase phase, const QByteArray &request);
    void beginStep();
    void finishStep(quint32 inputsOn);
    void send(const QByteArray &frame);
    void fail(const QString &why);
    // Puts the outputs back (when they were changed and the link stands), then ends.
    void wrapUp(Outcome outcome);
    void end();

    CheckSettings m_settings;
    QTcpSocket m_socket;
    QTimer m_timer;
    cli::DeviceStream m_stream;
    QElapsedTimer m_clock;
    QElapsedTimer m_stepClock;
    Phase m_phase = Phase::Idle;
    Outcome m_outcome = Outcome::Running;
    QString m_error;
    CheckResult m_result;
    QList<Step> m_steps;
    int m_step = -1;
    bool m_outputsChanged = false;
    bool m_restoreSent = false;
    bool m_linkLost = false;    // the box closed its side
    quint32 m_latestInputs = 0; // 1 = on
    std::optional<double> m_stepResponseMs;
};
