#include "WiringCheck.h"

#include "HexText.h"
#include "protocol/Frames.h"

namespace {

constexpr quint32 AllWireBits = Frame::AllGpisOff;

// GPIs that are on (1 bits) to the wire's active-low state bytes.
QByteArray setOutputsFrame(quint32 wireBits) {
    return MakeSetGpiOutputsMessage(quint8(wireBits & 0xFF), quint8((wireBits >> 8) & 0xFF),
                                    quint8((wireBits >> 16) & 0xFF));
}

} // namespace

int CheckResult::faulty() const {
    int count = 0;
    for (const ChannelResult &channel : channels)
        count += channel.verdict.ok() ? 0 : 1;
    return count;
}

WiringCheck::WiringCheck(const CheckSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings) {
    m_result.address = settings.address.toString();
    m_result.port = settings.port;
    m_result.map = settings.map.source;
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_socket.setReadBufferSize(64 * 1024);
    connect(&m_timer, &QTimer::timeout, this, &WiringCheck::onTimeout);
    connect(&m_socket, &QTcpSocket::connected, this, &WiringCheck::onConnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &WiringCheck::onReadyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &WiringCheck::onSocketError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &WiringCheck::onDisconnected);

    m_steps << Step{0, -1};
    const quint32 everyOutput = m_settings.gpis >= 24 ? AllWireBits : (1u << m_settings.gpis) - 1;
    m_steps << Step{everyOutput, -1};
    for (int i = 0; i < m_settings.map.channels.size(); ++i)
        m_steps << Step{1u << m_settings.map.channels[i].output, i};
}

void WiringCheck::start() {
    m_clock.start();
    m_result.started = QDateTime::currentDateTime();
    m_phase = Phase::Connecting;
    m_timer.start(m_settings.timeoutMs);
    m_socket.connectToHost(m_settings.address, m_settings.port);
}

void WiringCheck::stop(const QString &why) {
    fail(why);
}

void WiringCheck::onConnected() {
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    ask(Phase::Firmware, MakeFirmwareVersionRequest());
}

void WiringCheck::ask(Phase phase, const QByteArray &request) {
    m_phase = phase;
    m_timer.start(m_settings.timeoutMs);
    send(request);
}

void WiringCheck::send(const QByteArray &frame) {
    if (m_socket.write(frame) != frame.size())
        fail(QStringLiteral("cannot send to the box: ") + m_socket.errorString());
}

void WiringCheck::onReadyRead() {
    while (m_phase != Phase::Done && m_socket.bytesAvailable() > 0) {
        const cli::DeviceStream::Result read = m_stream.feed(m_socket.read(64 * 1024));
        for (const QByteArray &frame : read.frames) {
            if (m_phase == Phase::Done || m_phase == Phase::Restoring)
                return;
            handleFrame(frame);
        }
        if (!read.garbage.isEmpty()) {
            fail(QStringLiteral("the box sent bytes that begin no frame it sends: %1")
                     .arg(cli::hexText(read.garbage)));
            return;
        }
    }
}

void WiringCheck::handleFrame(const QByteArray &frame) {
    const quint8 type = quint8(frame.at(3));
    if (type == Frame::IdResponse) {
        if (m_phase != Phase::Firmware)
            return;
        m_result.firmware = ReadFirmwareVersion(frame).value_or(QString());
        ask(Phase::Outputs, MakeGpiOutputStatusRequest());
        return;
    }
    const quint32 state = ReadGpiState(frame).value_or(AllWireBits);
    if (type == Frame::GpiOutputStatusMessage) {
        if (m_phase != Phase::Outputs)
            return;
        m_result.outputsBefore = state;
        m_step = -1;
        beginStep();
        return;
    }
    // An input message, asked for or sent by the box on a change.
    m_latestInputs = ~state & AllWireBits;
    const Step *step = m_step >= 0 && m_step < m_steps.size() ? &m_steps[m_step] : nullptr;
    if (step && step->channel >= 0 && !m_stepResponseMs &&
        (m_phase == Phase::Settling || m_phase == Phase::Inputs)) {
        const int input = m_settings.map.channels[step->channel].input;
        if (m_latestInputs & (1u << input))
            m_stepResponseMs = double(m_stepClock.nsecsElapsed()) / 1e6;
    }
    if (m_phase == Phase::Inputs)
        finishStep(m_latestInputs);
}

void WiringCheck::beginStep() {
    ++m_step;
    if (m_step == m_steps.size()) {
        wrapUp(m_result.faulty() == 0 ? Outcome::Pass : Outcome::Fail);
        return;
    }
    const Step &step = m_steps[m_step];
    QString what;
    if (step.channel < 0) {
        what = step.outputsOn == 0 ? QStringLiteral("all outputs off")
                                   : QStringLiteral("all outputs on");
    } else {
        const Channel &channel = m_settings.map.channels[step.channel];
        what = QStringLiteral("output %1 alone on, expecting input %2")
                   .arg(channel.output + 1)
                   .arg(channel.input + 1);
    }
    emit progress(m_step + 1, int(m_steps.size()), what);
    m_outputsChanged = true;
    m_stepResponseMs.reset();
    m_phase = Phase::Settling;
    m_stepClock.start();
    m_timer.start(m_settings.settleMs);
    send(setOutputsFrame(~step.outputsOn & AllWireBits));
}

void WiringCheck::finishStep(quint32 inputsOn) {
    m_timer.stop();
    const Step &step = m_steps[m_step];
    if (m_step == 0) {
        m_result.inputsAllOff = inputsOn;
    } else if (m_step == 1) {
        m_result.inputsAllOn = inputsOn;
    } else {
        ChannelResult result;
        result.channel = m_settings.map.channels[step.channel];
        const Observations seen{m_result.inputsAllOff, m_result.inputsAllOn, inputsOn};
        result.verdict = Diagnose(result.channel, seen, m_settings.gpis);
        result.responseMs = m_stepResponseMs;
        result.seconds = double(m_stepClock.nsecsElapsed()) / 1e9;
        m_result.channels << result;
    }
    beginStep();
}

void WiringCheck::onTimeout() {
    const QString within = QStringLiteral("within %1 ms").arg(m_settings.timeoutMs);
    switch (m_phase) {
    case Phase::Connecting:
        fail(QStringLiteral("no connection to %1 port %2 %3")
                 .arg(m_result.address)
                 .arg(m_result.port)
                 .arg(within));
        break;
    case Phase::Firmware:
        fail(QStringLiteral("no answer to the firmware version request (FF 00 02) ") + within);
        break;
    case Phase::Outputs:
        fail(QStringLiteral("no answer to the output status request (FF 00 05) ") + within);
        break;
    case Phase::Settling:
        ask(Phase::Inputs, MakeGpiInputStatusRequest());
        break;
    case Phase::Inputs:
        fail(QStringLiteral("no answer to the input status request (FF 00 01) %1, step %2 of %3")
                 .arg(within)
                 .arg(m_step + 1)
                 .arg(m_steps.size()));
        break;
    case Phase::Restoring:
        // The box does not take the last bytes or does not close; end anyway.
        m_socket.abort();
        end();
        break;
    case Phase::Idle:
    case Phase::Done:
        break;
    }
}

void WiringCheck::onSocketError(QAbstractSocket::SocketError error) {
    if (m_phase == Phase::Restoring) {
        end();
        return;
    }
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        fail(QStringLiteral("%1 port %2 refused the connection")
                 .arg(m_result.address)
                 .arg(m_result.port));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        // The socket still reads as connected, but nothing sent now would be taken.
        m_linkLost = true;
        fail(QStringLiteral("the box closed the connection"));
        break;
    default:
        fail(QStringLiteral("connection to %1 port %2: %3")
                 .arg(m_result.address)
                 .arg(m_result.port)
                 .arg(m_socket.errorString()));
        break;
    }
}

void WiringCheck::onDisconnected() {
    m_linkLost = true;
    if (m_phase == Phase::Restoring)
        end();
    else
        fail(QStringLiteral("the box closed the connection"));
}

void WiringCheck::fail(const QString &why) {
    if (m_phase == Phase::Restoring || m_phase == Phase::Done)
        return;
    m_error = why;
    wrapUp(Outcome::Error);
}

void WiringCheck::wrapUp(Outcome outcome) {
    m_outcome = outcome;
    m_timer.stop();
    // From here the socket's own signals of its end only end the check.
    m_phase = Phase::Restoring;
    if (m_outputsChanged && !m_linkLost && m_socket.state() == QAbstractSocket::ConnectedState) {
        const QByteArray restore = setOutputsFrame(m_result.outputsBefore);
        m_restoreSent = m_socket.write(restore) == restore.size();
        m_timer.start(m_settings.timeoutMs);
        // Closes once what is written has gone out.
        m_socket.disconnectFromHost();
        if (m_socket.state() == QAbstractSocket::UnconnectedState)
            end();
        return;
    }
    m_socket.abort();
    end();
}

void WiringCheck::end() {
    if (m_phase == Phase::Done)
        return;
    m_phase = Phase::Done;
    m_timer.stop();
    m_result.elapsedNs = m_clock.nsecsElapsed();
    emit finished();
}
