#pragma once

#include "DeviceFrames.h"
#include "FrameStreamParser.h"
#include "SendQueue.h"
#include "SimFrame.h"
#include "SimStats.h"
#include "Wiring.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <array>

namespace sim {

// A Vorn in software: a TCP server for one tester at a time that answers the status and
// firmware requests, keeps the outputs it is told, reports its inputs when they change,
// can loop serial output back, and injects faults on demand. Everything it does is traced
// and counted, and is observable in-process by tests through signals and accessors.
//
// A second tester that connects while one is served is refused: its connection is accepted
// and closed at once, so it sees the peer close.
class SimulatedDevice : public QObject {
    Q_OBJECT

public:
    // How many frames of each direction the history keeps (the oldest go first).
    static constexpr int HistoryLimit = 10000;

    explicit SimulatedDevice(QObject *parent = nullptr);
    ~SimulatedDevice() override;

    // Listening. Port 0 takes a free port; serverPort() tells which.
    bool listen(const QHostAddress &address = QHostAddress::LocalHost, quint16 port = 0);
    // Stops taking connections (new ones are refused by the system); the served one stays.
    void stopListening();
    // Listens again on the address and port of the last listen.
    bool resumeListening();
    bool isListening() const { return m_server.isListening(); }
    QHostAddress serverAddress() const { return m_address; }
    quint16 serverPort() const { return m_port; }
    QString errorString() const { return m_server.errorString(); }

    // The device's GPIs, active low (bit i = GPI index i, 0 = on).
    GpiBits inputs() const { return m_inputs; }
    GpiBits outputs() const { return m_outputs; }
    // The outputs as the box holds them before any tester sets them.
    void setOutputs(GpiBits bits) { m_outputs = bits & AllOff; }
    // Changes the inputs and, if they really changed, reports them to the tester.
    bool setInputs(GpiBits bits);
    bool setInput(int index, bool on);
    // Reports the inputs now, changed or not.
    void reportInputs();

    void setFirmware(quint8 major, quint8 minor);
    quint8 firmwareMajor() const { return m_firmwareMajor; }
    quint8 firmwareMinor() const { return m_firmwareMinor; }

    // Patterns that move the inputs by themselves.
    void setFollowOutputs(bool on) { m_follow = on; }
    bool followOutputs() const { return m_follow; }
    // Wiring faults between the outputs and the inputs that follow them; none is straight.
    // Traced, and applied at once when the inputs follow the outputs.
    void setWireFaults(const QList<WireFault> &faults);
    const QList<WireFault> &wireFaults() const { return m_wireFaults; }
    void setWalkPeriod(int milliseconds); // 0 stops the walk
    int walkPeriod() const;
    void setWalkCount(int count); // GPIs the walk covers, 1 to 24
    int walkCount() const { return m_walkCount; }
    void setReportPeriod(int milliseconds); // 0 stops the reports
    int reportPeriod() const;
    void setSerialLoopback(bool on) { m_loopback = on; }
    bool serialLoopback() const { return m_loopback; }

    // Faults. The split and coalesce faults wait for the next frame(s) to send.
    void splitNextFrame(int at = 0) { m_queue.armSplit(at); }
    void setSplitGap(int milliseconds) { m_queue.setSplitGap(milliseconds); }
    // The rest of a split frame goes now, not after the gap: for tests that must see the
    // first piece arrive on its own whatever the machine's speed.
    void finishSplitNow() { m_queue.finishSplitNow(); }
    void coalesceNextTwo() { m_queue.armCoalesce(); }
    void setAnswerDelay(int milliseconds) { m_queue.setDelay(milliseconds); }
    int answerDelay() const { return m_queue.delay(); }
    // Not a fault: the least time between two frames sent, as a real device's own links
    // space them. A change of the inputs reported while an earlier report still waits
    // replaces it, so the tester sees the latest state, not a backlog.
    void setPace(int milliseconds) { m_queue.setPace(milliseconds); }
    int pace() const { return m_queue.pace(); }
    // Sends bytes as they are; false when no tester is connected.
    bool sendRaw(const QByteArray &bytes);
    bool sendGarbage();
    bool sendShortFrame();
    // Ends the connection in order (the tester sees the peer close) or with a reset.
    bool closeConnection();
    bool resetConnection();

    // Bytes that sendGarbage and sendShortFrame send.
    static QByteArray garbageBytes();
    static QByteArray shortFrameBytes();

    bool hasConnection() const { return m_socket != nullptr; }
    // Connections served so far (not counting refused ones).
    int connectionCount() const { return m_stats.connections; }
    const SimStats &stats() const { return m_stats; }
    int serialBreaks(int portIndex) const { return m_breaks.at(portIndex); }
    qint64 serialBytesOut(int portIndex) const { return m_serialBytes.at(portIndex); }

    // Recent frames in each direction, oldest first; each write as handed to the socket.
    const QList<SimFrame> &received() const { return m_received; }
    const QList<SimFrame> &sent() const { return m_sent; }
    const QList<QByteArray> &writes() const { return m_writes; }
    void clearHistory();

    // Several lines: listening, connection, GPIs, firmware, patterns, armed faults.
    QString stateText() const;
    qint64 elapsedNs() const { return m_clock.nsecsElapsed(); }

signals:
    void frameReceived(const sim::SimFrame &frame);
    void frameSent(const sim::SimFrame &frame);
    void connected();
    void disconnected();
    void outputsChanged(sim::GpiBits outputs);
    void inputsChanged(sim::GpiBits inputs);
    // One line of the trace: a frame or an event.
    void trace(const QString &line);

private:
    void onNewConnection();
    void onReadyRead();
    void onDisconnected();
    void dropConnection(const QString &why, bool reset);
    void handle(const ReceivedFrame &frame);
    void send(const QByteArray &bytes, const QString &kind, const QString &meaning,
              const QString &replaceKey = QString());
    // An input message that a newer one may replace while it waits.
    void reportChange();
    void onFrameWritten(const QByteArray &bytes, const QString &kind, const QString &meaning,
                        const QString &note);
    void record(SimFrame frame, QList<SimFrame> &history);
    void traceNote(const QString &text);
    void walkStep();

    QTcpServer m_server;
    QHostAddress m_address = QHostAddress::LocalHost;
    quint16 m_port = 0;
    QPointer<QTcpSocket> m_socket;
    FrameStreamParser m_parser;
    SendQueue m_queue;
    QElapsedTimer m_clock;
    SimStats m_stats;

    GpiBits m_inputs = AllOff;
    GpiBits m_outputs = AllOff;
    quint8 m_firmwareMajor = 2;
    quint8 m_firmwareMinor = 5;
    bool m_follow = false;
    QList<WireFault> m_wireFaults;
    bool m_loopback = false;
    QTimer m_walkTimer;
    int m_walkCount = 24;
    int m_walkIndex = -1;
    QTimer m_reportTimer;
    bool m_backlogReported = false;
    std::array<int, SerialPortCount> m_breaks{};
    std::array<qint64, SerialPortCount> m_serialBytes{};

    QList<SimFrame> m_received;
    QList<SimFrame> m_sent;
    QList<QByteArray> m_writes;
};

} // namespace sim
