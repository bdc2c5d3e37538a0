#include "SimulatedDevice.h"
#include "ResetOnClose.h"

#include "HexText.h"

#include <QMetaMethod>
#include <QStringList>
#include <QTcpSocket>

namespace sim {

namespace {

// A read never holds more than this, so one arrival stays small however fast a tester sends.
constexpr qint64 ReadChunk = 64 * 1024;

QString onOff(bool on) {
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString periodText(int milliseconds) {
    return milliseconds > 0 ? QStringLiteral("every %1 ms").arg(milliseconds)
                            : QStringLiteral("off");
}

QString kindName(ReceivedKind kind) {
    switch (kind) {
    case ReceivedKind::InputStatusRequest:
        return QStringLiteral("GPI input status request");
    case ReceivedKind::FirmwareVersionRequest:
        return QStringLiteral("firmware version request");
    case ReceivedKind::OutputStatusRequest:
        return QStringLiteral("GPI output status request");
    case ReceivedKind::SerialBreakRequest:
        return QStringLiteral("serial break request");
    case ReceivedKind::SetGpiOutputs:
        return QStringLiteral("set outputs");
    case ReceivedKind::SerialOutput:
        return QStringLiteral("serial output");
    case ReceivedKind::Unknown:
        break;
    }
    return QStringLiteral("unknown bytes");
}

QByteArray serialData(const ReceivedFrame &frame) {
    return frame.continued ? frame.bytes : frame.bytes.mid(4);
}

QString meaningOf(const ReceivedFrame &frame) {
    QString text = kindName(frame.kind);
    switch (frame.kind) {
    case ReceivedKind::SerialBreakRequest:
        text += QStringLiteral(", ") + describePortMask(quint8(frame.bytes.at(3)));
        break;
    case ReceivedKind::SetGpiOutputs:
        text += QStringLiteral(", ") + describeGpiBits(gpiBitsAt(frame.bytes));
        break;
    case ReceivedKind::SerialOutput: {
        const QByteArray data = serialData(frame);
        text += QStringLiteral(", port %1, %2 bytes %3")
                    .arg(frame.port + 1)
                    .arg(data.size())
                    .arg(printableText(data));
        if (frame.continued)
            text += QStringLiteral(" (more data of the message the previous read ended in)");
        break;
    }
    case ReceivedKind::Unknown:
        text += QStringLiteral(": no frame the device knows begins here; skipped");
        break;
    default:
        break;
    }
    if (frame.reads > 1)
        text +=
            QStringLiteral(" [arrived in %1 reads: the tester split this frame]").arg(frame.reads);
    return text;
}

} // namespace

SimulatedDevice::SimulatedDevice(QObject *parent) : QObject(parent) {
    m_clock.start();
    connect(&m_server, &QTcpServer::newConnection, this, &SimulatedDevice::onNewConnection);
    connect(&m_queue, &SendQueue::frameWritten, this, &SimulatedDevice::onFrameWritten);
    connect(&m_queue, &SendQueue::chunkWritten, this, [this](const QByteArray &chunk) {
        m_stats.bytesSent += chunk.size();
        m_writes.append(chunk);
        if (m_writes.size() > HistoryLimit)
            m_writes.removeFirst();
    });
    connect(&m_queue, &SendQueue::frameDropped, this, [this](const QByteArray &, const QString &) {
        ++m_stats.dropped;
        if (!m_backlogReported) {
            m_backlogReported = true;
            traceNote(QStringLiteral("dropping frames: the tester is not reading them, or too many "
                                     "are waiting behind a delay"));
        }
    });
    connect(&m_queue, &SendQueue::frameSuperseded, this,
            [this](const QString &) { ++m_stats.superseded; });
    connect(&m_queue, &SendQueue::faultApplied, this,
            [this](const QString &fault) { ++m_stats.faults[fault]; });
    m_walkTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_walkTimer, &QTimer::timeout, this, &SimulatedDevice::walkStep);
    m_reportTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_reportTimer, &QTimer::timeout, this, &SimulatedDevice::reportChange);
}

SimulatedDevice::~SimulatedDevice() {
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

bool SimulatedDevice::listen(const QHostAddress &address, quint16 port) {
    m_server.close();
    if (!m_server.listen(address, port))
        return false;
    m_address = address;
    m_port = m_server.serverPort();
    traceNote(QStringLiteral("listening on %1:%2").arg(m_address.toString()).arg(m_port));
    return true;
}

void SimulatedDevice::stopListening() {
    if (!m_server.isListening())
        return;
    m_server.close();
    ++m_stats.faults[QStringLiteral("stop listening")];
    traceNote(QStringLiteral("stopped listening: new connections are refused"));
}

bool SimulatedDevice::resumeListening() {
    if (m_server.isListening())
        return true;
    return listen(m_address, m_port);
}

void SimulatedDevice::onNewConnection() {
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        const QString peer =
            QStringLiteral("%1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort());
        if (m_socket) {
            ++m_stats.refused;
            traceNote(QStringLiteral("refused %1: a tester is already connected").arg(peer));
            socket->close();
            socket->deleteLater();
            continue;
        }
        m_socket = socket;
        socket->setParent(this);
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        socket->setReadBufferSize(ReadChunk);
        connect(socket, &QTcpSocket::readyRead, this, &SimulatedDevice::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &SimulatedDevice::onDisconnected);
        m_parser.reset();
        m_queue.attach(socket);
        m_backlogReported = false;
        ++m_stats.connections;
        traceNote(QStringLiteral("tester connected from %1").arg(peer));
        emit connected();
    }
}

void SimulatedDevice::onReadyRead() {
    if (!m_socket)
        return;
    // One read at a time; a read that fills the buffer brings another readyRead.
    const QByteArray read = m_socket->read(ReadChunk);
    m_stats.bytesReceived += read.size();
    const QList<ReceivedFrame> frames = m_parser.feed(read);
    for (const ReceivedFrame &frame : frames)
        handle(frame);
}

void SimulatedDevice::onDisconnected() {
    if (!m_socket)
        return;
    while (m_socket && m_socket->bytesAvailable() > 0)
        onReadyRead();
    dropConnection(QStringLiteral("the tester closed the connection"), false);
}

void SimulatedDevice::dropConnection(const QString &why, bool reset) {
    QTcpSocket *socket = m_socket;
    if (!socket)
        return;
    m_socket = nullptr;
    m_queue.attach(nullptr);
    socket->disconnect(this);
    const QByteArray incomplete = m_parser.takeIncomplete();
    m_parser.reset();
    if (!incomplete.isEmpty())
        traceNote(QStringLiteral("the connection ended inside a frame; dropped %1")
                      .arg(hexBytes(incomplete)));
    if (reset) {
        resetOnClose(*socket);
        socket->abort();
    } else {
        socket->disconnectFromHost();
    }
    if (socket->state() == QAbstractSocket::UnconnectedState) {
        socket->deleteLater();
    } else {
        // What is still on its way goes out first; a tester that never takes it does not
        // keep the socket for ever.
        connect(socket, &QAbstractSocket::disconnected, socket, &QObject::deleteLater);
        QTimer::singleShot(5000, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
    }
    traceNote(why);
    emit disconnected();
}

bool SimulatedDevice::closeConnection() {
    if (!m_socket)
        return false;
    ++m_stats.faults[QStringLiteral("close")];
    dropConnection(QStringLiteral("closed the connection"), false);
    return true;
}

bool SimulatedDevice::resetConnection() {
    if (!m_socket)
        return false;
    ++m_stats.faults[QStringLiteral("reset")];
    dropConnection(QStringLiteral("reset the connection"), true);
    return true;
}

void SimulatedDevice::handle(const ReceivedFrame &frame) {
    SimFrame seen;
    seen.direction = SimFrame::Received;
    seen.kind = kindName(frame.kind);
    seen.bytes = frame.bytes;
    seen.meaning = meaningOf(frame);
    if (frame.reads > 1)
        ++m_stats.splitByTester;
    ++m_stats.framesReceived[seen.kind];
    record(seen, m_received);

    switch (frame.kind) {
    case ReceivedKind::InputStatusRequest:
        send(gpiInputMessage(m_inputs), QStringLiteral("GPI input message"),
             QStringLiteral("GPI input message, ") + describeGpiBits(m_inputs));
        break;
    case ReceivedKind::OutputStatusRequest:
        send(gpiOutputStatusMessage(m_outputs), QStringLiteral("GPI output status message"),
             QStringLiteral("GPI output status message, ") + describeGpiBits(m_outputs));
        break;
    case ReceivedKind::FirmwareVersionRequest:
        send(idResponse(m_firmwareMajor, m_firmwareMinor), QStringLiteral("ID response"),
             describeDeviceFrame(idResponse(m_firmwareMajor, m_firmwareMinor)));
        break;
    case ReceivedKind::SerialBreakRequest: {
        const auto mask = quint8(frame.bytes.at(3));
        for (int i = 0; i < SerialPortCount; ++i) {
            if (mask & (1u << i))
                ++m_breaks[i];
        }
        break;
    }
    case ReceivedKind::SetGpiOutputs:
        m_outputs = gpiBitsAt(frame.bytes);
        emit outputsChanged(m_outputs);
        if (m_follow)
            setInputs(wiredInputs(m_outputs, m_wireFaults));
        break;
    case ReceivedKind::SerialOutput: {
        const QByteArray data = serialData(frame);
        m_serialBytes[frame.port] += data.size();
        if (m_loopback) {
            const QByteArray back = serialInputMessage(frame.port, data);
            send(back, QStringLiteral("serial input"),
                 describeDeviceFrame(back) + QStringLiteral(" (looped back)"));
        }
        break;
    }
    case ReceivedKind::Unknown:
        break;
    }
}

bool SimulatedDevice::setInputs(GpiBits bits) {
    bits &= AllOff;
    if (bits == m_inputs)
        return false;
    m_inputs = bits;
    emit inputsChanged(bits);
    reportChange();
    return true;
}

bool SimulatedDevice::setInput(int index, bool on) {
    if (index < 0 || index >= 24)
        return false;
    const GpiBits bit = 1u << index;
    return setInputs(on ? m_inputs & ~bit : m_inputs | bit);
}

void SimulatedDevice::reportInputs() {
    send(gpiInputMessage(m_inputs), QStringLiteral("GPI input message"),
         QStringLiteral("GPI input message, ") + describeGpiBits(m_inputs));
}

void SimulatedDevice::reportChange() {
    send(gpiInputMessage(m_inputs), QStringLiteral("GPI input message"),
         QStringLiteral("GPI input message, ") + describeGpiBits(m_inputs),
         QStringLiteral("input report"));
}

void SimulatedDevice::setFirmware(quint8 major, quint8 minor) {
    m_firmwareMajor = major;
    m_firmwareMinor = minor;
}

void SimulatedDevice::setWireFaults(const QList<WireFault> &faults) {
    m_wireFaults = faults;
    traceNote(QStringLiteral("wiring from the outputs to the inputs: ") + describeWiring(faults));
    if (m_follow)
        setInputs(wiredInputs(m_outputs, m_wireFaults));
}

void SimulatedDevice::setWalkPeriod(int milliseconds) {
    if (milliseconds <= 0) {
        m_walkTimer.stop();
        return;
    }
    m_walkTimer.start(milliseconds);
}

int SimulatedDevice::walkPeriod() const {
    return m_walkTimer.isActive() ? m_walkTimer.interval() : 0;
}

void SimulatedDevice::setWalkCount(int count) {
    m_walkCount = qBound(1, count, 24);
    if (m_walkIndex >= m_walkCount)
        m_walkIndex = -1;
}

void SimulatedDevice::walkStep() {
    m_walkIndex = (m_walkIndex + 1) % m_walkCount;
    setInputs(AllOff & ~(1u << m_walkIndex));
}

void SimulatedDevice::setReportPeriod(int milliseconds) {
    if (milliseconds <= 0) {
        m_reportTimer.stop();
        return;
    }
    m_reportTimer.start(milliseconds);
}

int SimulatedDevice::reportPeriod() const {
    return m_reportTimer.isActive() ? m_reportTimer.interval() : 0;
}

QByteArray SimulatedDevice::garbageBytes() {
    return QByteArray::fromHex("deadbeef");
}

// A GPI input message that stops after its first state byte.
QByteArray SimulatedDevice::shortFrameBytes() {
    return QByteArray::fromHex("ff000004fe");
}

bool SimulatedDevice::sendRaw(const QByteArray &bytes) {
    if (!m_socket)
        return false;
    send(bytes, QStringLiteral("raw"), describeDeviceFrame(bytes));
    return true;
}

bool SimulatedDevice::sendGarbage() {
    if (!m_socket)
        return false;
    ++m_stats.faults[QStringLiteral("garbage")];
    send(garbageBytes(), QStringLiteral("garbage"),
         QStringLiteral("garbage (fault): ") + describeDeviceFrame(garbageBytes()));
    return true;
}

bool SimulatedDevice::sendShortFrame() {
    if (!m_socket)
        return false;
    ++m_stats.faults[QStringLiteral("short frame")];
    send(shortFrameBytes(), QStringLiteral("short frame"),
         QStringLiteral("short frame (fault): ") + describeDeviceFrame(shortFrameBytes()));
    return true;
}

void SimulatedDevice::send(const QByteArray &bytes, const QString &kind, const QString &meaning,
                           const QString &replaceKey) {
    if (m_socket)
        m_queue.enqueue(bytes, kind, meaning, replaceKey);
}

void SimulatedDevice::onFrameWritten(const QByteArray &bytes, const QString &kind,
                                     const QString &meaning, const QString &note) {
    m_backlogReported = false;
    SimFrame frame;
    frame.direction = SimFrame::Sent;
    frame.kind = kind;
    frame.bytes = bytes;
    frame.meaning = note.isEmpty() ? meaning : meaning + QStringLiteral(" [") + note + u']';
    ++m_stats.framesSent[kind];
    record(frame, m_sent);
}

void SimulatedDevice::record(SimFrame frame, QList<SimFrame> &history) {
    // A frame may share the buffer of the whole read it came in; what the history keeps
    // must hold its own bytes only, or every kept frame pins a read buffer.
    frame.bytes = QByteArray(frame.bytes.constData(), frame.bytes.size());
    frame.ns = m_clock.nsecsElapsed();
    frame.time = QTime::currentTime();
    history.append(frame);
    if (history.size() > HistoryLimit)
        history.removeFirst();
    // Formatting the line costs more than the frame itself; skip it when nobody reads it.
    if (isSignalConnected(QMetaMethod::fromSignal(&SimulatedDevice::trace)))
        emit trace(traceLine(frame));
    if (frame.direction == SimFrame::Received)
        emit frameReceived(frame);
    else
        emit frameSent(frame);
}

void SimulatedDevice::traceNote(const QString &text) {
    emit trace(traceEvent(QTime::currentTime(), text));
}

void SimulatedDevice::clearHistory() {
    m_received.clear();
    m_sent.clear();
    m_writes.clear();
}

QString SimulatedDevice::stateText() const {
    QStringList lines;
    lines << QStringLiteral("listening: %1")
                 .arg(m_server.isListening()
                          ? QStringLiteral("%1:%2").arg(m_address.toString()).arg(m_port)
                          : QStringLiteral("no"));
    lines << QStringLiteral("tester: %1")
                 .arg(m_socket ? QStringLiteral("connected from %1:%2")
                                     .arg(m_socket->peerAddress().toString())
                                     .arg(m_socket->peerPort())
                               : QStringLiteral("none"));
    const auto gpiLine = [](const QString &name, GpiBits bits) {
        return QStringLiteral("%1: %2 (%3)")
            .arg(name, cli::gpiBytesText(bits), describeGpiBits(bits));
    };
    lines << gpiLine(QStringLiteral("inputs"), m_inputs);
    lines << gpiLine(QStringLiteral("outputs"), m_outputs);
    lines << QStringLiteral("firmware: %1.%2")
                 .arg(m_firmwareMajor)
                 .arg(m_firmwareMinor, 2, 10, QLatin1Char('0'));
    lines << QStringLiteral("follow: %1 (wiring %6); walk: %2 over %3 GPIs; report: %4; "
                            "loopback: %5")
                 .arg(onOff(m_follow), periodText(walkPeriod()))
                 .arg(m_walkCount)
                 .arg(periodText(reportPeriod()), onOff(m_loopback), describeWiring(m_wireFaults));
    QStringList breaks;
    for (int i = 0; i < SerialPortCount; ++i)
        breaks << QStringLiteral("port %1: %2 bytes, %3 breaks")
                      .arg(i + 1)
                      .arg(m_serialBytes[i])
                      .arg(m_breaks[i]);
    lines << QStringLiteral("serial out: ") + breaks.join(QStringLiteral("; "));
    if (m_queue.pace() > 0)
        lines << QStringLiteral("pace: at least %1 ms between frames sent").arg(m_queue.pace());
    QStringList faults;
    if (m_queue.delay() > 0)
        faults << QStringLiteral("delay %1 ms").arg(m_queue.delay());
    if (m_queue.splitArmed())
        faults << QStringLiteral("split next frame (gap %1 ms)").arg(m_queue.splitGap());
    if (m_queue.coalesceArmed())
        faults << QStringLiteral("coalesce next two frames");
    lines << QStringLiteral("faults armed: %1")
                 .arg(faults.isEmpty() ? QStringLiteral("none")
                                       : faults.join(QStringLiteral(", ")));
    return lines.join(QLatin1Char('\n'));
}

} // namespace sim
