#include "Monitor.h"

#include "protocol/Frames.h"

namespace {

constexpr cli::DeviceStream::Reading Reading{true, true};

QString firmwareText(const QByteArray &frame) {
    return QStringLiteral("%1.%2")
        .arg(quint8(frame.at(5)))
        .arg(quint8(frame.at(4)), 2, 10, QLatin1Char('0'));
}

} // namespace

Monitor::Monitor(MonSettings settings, QObject *parent)
    : QObject(parent), m_settings(std::move(settings)), m_stream(Reading) {
    m_state.gpis = m_settings.gpis;
    m_state.withOutputs = m_settings.outputs;
    m_clock.start();
    connect(&m_link, &BoxLink::opened, this, &Monitor::onOpened);
    connect(&m_link, &BoxLink::received, this, &Monitor::onReceived);
    connect(&m_link, &BoxLink::closed, this, &Monitor::onClosed);
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(m_settings.quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &Monitor::onQuiet);
    m_heartbeat.setSingleShot(true);
    m_heartbeat.setInterval(m_settings.heartbeatS * 1000);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] {
        MonEvent e = newEvent(MonEvent::Heartbeat);
        e.state = m_state;
        emit happened(e);
        m_heartbeat.start();
    });
    m_outputsPoll.setInterval(m_settings.outputsPollMs);
    connect(&m_outputsPoll, &QTimer::timeout, &m_link, &BoxLink::askOutputs);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &Monitor::connectBox);
    m_duration.setSingleShot(true);
    connect(&m_duration, &QTimer::timeout, this,
            [this] { stop(QStringLiteral("--duration %1 s").arg(m_settings.durationS)); });
}

int Monitor::retryDelayS(int attempt) {
    return attempt >= 5 ? 30 : 1 << attempt;
}

void Monitor::start() {
    if (m_settings.durationS > 0)
        m_duration.start(m_settings.durationS * 1000);
    connectBox();
}

void Monitor::stop(const QString &why) {
    end(0, QString(), why);
}

void Monitor::connectBox() {
    m_phase = Phase::Connecting;
    m_stream = cli::DeviceStream(Reading);
    m_probed = true;
    m_quiet.start();
    m_link.open(m_settings.address, m_settings.port);
}

void Monitor::onOpened() {
    m_phase = Phase::Asking;
    m_firmwareRead.reset();
    m_inputsRead.reset();
    m_outputsRead.reset();
    m_quiet.start();
    m_link.askFirmware();
    m_link.askInputs();
    m_link.askOutputs();
}

void Monitor::onReceived(const QByteArray &bytes) {
    if (m_phase != Phase::Asking && m_phase != Phase::Watching)
        return;
    m_probed = false;
    if (m_phase == Phase::Watching)
        m_quiet.start();
    const cli::DeviceStream::Result read = m_stream.feed(bytes);
    m_summary.skippedBytes += read.skipped;
    for (const QByteArray &frame : read.frames) {
        handleFrame(frame);
        if (m_phase == Phase::Ended)
            return;
    }
}

void Monitor::handleFrame(const QByteArray &frame) {
    const quint8 type = quint8(frame.at(3));
    if (type <= Frame::SerialPort4Message) {
        if (m_settings.serial && m_phase == Phase::Watching) {
            MonEvent e = newEvent(MonEvent::Serial);
            e.port = type + 1;
            e.data = frame.mid(Frame::HeaderLength);
            emit happened(e);
        }
        return;
    }
    if (type == Frame::IdResponse) {
        m_firmwareRead = firmwareText(frame);
        m_state.firmware = *m_firmwareRead;
    } else {
        const bool outputs = type == Frame::GpiOutputStatusMessage;
        const quint32 bits = *ReadGpiState(frame);
        ++m_summary.reports;
        if (m_phase == Phase::Asking) {
            (outputs ? m_outputsRead : m_inputsRead) = bits;
        } else {
            takeLines(bits, outputs);
        }
    }
    if (m_phase == Phase::Asking && m_firmwareRead && m_inputsRead && m_outputsRead)
        stateComplete();
}

void Monitor::takeLines(quint32 bits, bool outputs) {
    quint32 &known = outputs ? m_state.outputs : m_state.inputs;
    const quint32 changed = (known ^ bits) & ((1u << m_settings.gpis) - 1);
    known = bits;
    if (changed == 0 || (outputs && !m_settings.outputs)) {
        ++m_summary.unchanged;
        return;
    }
    const qint64 now = elapsedUs();
    for (int i = 0; i < m_settings.gpis; ++i) {
        if (!(changed & (1u << i)))
            continue;
        MonEvent e = newEvent(MonEvent::Edge);
        e.elapsedUs = now;
        e.output = outputs;
        e.number = i + 1;
        e.name = m_settings.names.value(i + 1);
        e.minPulseUs = qint64(m_settings.minPulseMs) * 1000;
        e.change = tally(outputs, i).move(GpiIsOn(bits, i), now, e.minPulseUs);
        emit happened(e);
        countEdge();
        if (m_phase == Phase::Ended)
            return;
    }
    if (m_settings.heartbeatS > 0)
        m_heartbeat.start();
}

void Monitor::countEdge() {
    ++m_summary.edges;
    if (m_settings.count > 0 && m_summary.edges >= m_settings.count)
        stop(QStringLiteral("--count %1 edges").arg(m_settings.count));
}

void Monitor::stateComplete() {
    const qint64 now = elapsedUs();
    const GpiState before = m_state;
    m_state.inputs = *m_inputsRead;
    m_state.outputs = *m_outputsRead;
    m_phase = Phase::Watching;
    m_attempt = 0;
    m_quiet.start();
    if (m_settings.outputs)
        m_outputsPoll.start();
    if (m_settings.heartbeatS > 0)
        m_heartbeat.start();
    if (!m_everWatched) {
        m_everWatched = true;
        for (int i = 0; i < Frame::GpiCount; ++i) {
            m_inputTally[i].start(GpiIsOn(m_state.inputs, i), now);
            m_outputTally[i].start(GpiIsOn(m_state.outputs, i), now);
        }
        MonEvent e = newEvent(MonEvent::State);
        e.state = m_state;
        emit happened(e);
        return;
    }
    MonEvent back = newEvent(MonEvent::LinkBack);
    back.seconds = int((now - m_lostUs + 500000) / 1000000);
    back.state = m_state;
    emit happened(back);
    // The lines that moved while the link was down.
    for (bool outputs : {false, true}) {
        if (outputs && !m_settings.outputs)
            continue;
        const quint32 was = outputs ? before.outputs : before.inputs;
        const quint32 is = outputs ? m_state.outputs : m_state.inputs;
        for (int i = 0; i < m_settings.gpis; ++i) {
            if (GpiIsOn(was, i) == GpiIsOn(is, i))
                continue;
            MonEvent e = newEvent(MonEvent::Edge);
            e.elapsedUs = now;
            e.output = outputs;
            e.number = i + 1;
            e.name = m_settings.names.value(i + 1);
            e.change = tally(outputs, i).jump(GpiIsOn(is, i), now);
            emit happened(e);
            countEdge();
            if (m_phase == Phase::Ended)
                return;
        }
    }
}

void Monitor::onClosed(const QString &reason) {
    if (m_phase == Phase::Ended || m_phase == Phase::Down)
        return;
    lose(reason);
}

void Monitor::onQuiet() {
    if (m_phase == Phase::Watching && !m_probed) {
        // Quiet is not gone: a box with nothing to report is asked, and must answer.
        m_probed = true;
        m_link.askInputs();
        m_quiet.start();
        return;
    }
    const int seconds = (m_phase == Phase::Watching ? 2 : 1) * m_settings.quietMs / 1000;
    lose(m_phase == Phase::Connecting
             ? QStringLiteral("no connection in %1 s").arg(seconds)
             : QStringLiteral("no answer from the box in %1 s").arg(seconds));
}

void Monitor::lose(const QString &reason) {
    m_link.close();
    m_quiet.stop();
    m_heartbeat.stop();
    m_outputsPoll.stop();
    const bool wasWatching = m_phase == Phase::Watching;
    if (!m_everWatched) {
        end(2,
            QStringLiteral("cannot watch %1 port %2: %3")
                .arg(m_settings.address.toString())
                .arg(m_settings.port)
                .arg(reason),
            QStringLiteral("no connection"));
        return;
    }
    if (wasWatching) {
        m_lostUs = elapsedUs();
        ++m_summary.linksLost;
    }
    if (!m_settings.reconnect) {
        MonEvent e = newEvent(MonEvent::LinkLost);
        e.reason = reason;
        emit happened(e);
        end(2, QStringLiteral("link lost: %1").arg(reason), QStringLiteral("link lost"));
        return;
    }
    const int delay = retryDelayS(m_attempt++);
    if (wasWatching) {
        MonEvent e = newEvent(MonEvent::LinkLost);
        e.reason = reason;
        e.seconds = delay;
        emit happened(e);
    }
    m_phase = Phase::Down;
    m_retry.start(delay * 1000);
}

void Monitor::end(int status, const QString &error, const QString &why) {
    if (m_phase == Phase::Ended)
        return;
    m_phase = Phase::Ended;
    for (QTimer *timer : {&m_quiet, &m_heartbeat, &m_outputsPoll, &m_retry, &m_duration})
        timer->stop();
    m_link.close();
    // Without a start state there is nothing to sum up; the error says what happened.
    if (!m_everWatched) {
        emit finished(status, error);
        return;
    }
    MonEvent e = newEvent(MonEvent::Summary);
    m_summary.watchedUs = e.elapsedUs;
    m_summary.end = why;
    m_summary.lines.clear();
    for (bool outputs : {false, true}) {
        for (int i = 0; i < m_settings.gpis; ++i) {
            const LineTally &line = tally(outputs, i);
            if (line.edges() == 0)
                continue;
            m_summary.lines << LineSummary{
                outputs,           i + 1,          m_settings.names.value(i + 1),
                line.edges(),      line.onTimes(), line.offTimes(),
                line.shortPulses()};
        }
    }
    e.summary = m_summary;
    e.state = m_state;
    emit happened(e);
    emit finished(status, error);
}

MonEvent Monitor::newEvent(MonEvent::Kind kind) const {
    MonEvent e;
    e.kind = kind;
    e.time = QDateTime::currentDateTime();
    e.elapsedUs = elapsedUs();
    return e;
}
