#include "FrameStreamParser.h"

#include "DeviceFrames.h"
#include "FrameStart.h"

namespace sim {

namespace {

quint8 byteAt(const QByteArray &bytes, qsizetype i) {
    return quint8(bytes.at(i));
}

bool headerAt(const QByteArray &bytes, qsizetype i) {
    return i + 1 < bytes.size() && byteAt(bytes, i) == 0xFF && byteAt(bytes, i + 1) == 0x00;
}

// The length of the fixed-length frame starting at pos, 0 for a serial message, or -1
// when the bytes begin no known frame. Needs the header bytes that decide it.
int fixedLength(quint8 code, quint8 type) {
    switch (code) {
    case CodeInputStatusRequest:
    case CodeFirmwareVersionRequest:
    case CodeOutputStatusRequest:
        return 3;
    case CodeSerialBreakRequest:
        return 4;
    case CodeMessage:
        if (type == TypeGpiInput)
            return 7;
        return type < SerialPortCount ? 0 : -1;
    default:
        return -1;
    }
}

ReceivedKind kindOfCode(quint8 code) {
    switch (code) {
    case CodeInputStatusRequest:
        return ReceivedKind::InputStatusRequest;
    case CodeFirmwareVersionRequest:
        return ReceivedKind::FirmwareVersionRequest;
    case CodeOutputStatusRequest:
        return ReceivedKind::OutputStatusRequest;
    case CodeSerialBreakRequest:
        return ReceivedKind::SerialBreakRequest;
    default:
        return ReceivedKind::SetGpiOutputs;
    }
}

} // namespace

QList<ReceivedFrame> FrameStreamParser::feed(const QByteArray &read) {
    QList<ReceivedFrame> frames;
    if (read.isEmpty())
        return frames;
    const int heldReads = m_held.isEmpty() ? 0 : m_heldReads;
    const QByteArray bytes = m_held + read;
    m_held.clear();
    m_heldReads = 0;
    qsizetype pos = 0;

    if (m_openSerialPort >= 0 && heldReads == 0 && !headerAt(bytes, 0)) {
        const qsizetype end = cli::findFrameStart(bytes, 0, cli::LoneFf::Ignored);
        ReceivedFrame frame;
        frame.kind = ReceivedKind::SerialOutput;
        frame.bytes = bytes.left(end);
        frame.port = m_openSerialPort;
        frame.continued = true;
        frames << frame;
        pos = end;
        if (end < bytes.size())
            m_openSerialPort = -1;
        else
            return frames;
    }
    m_openSerialPort = -1;

    const auto hold = [&](qsizetype from) {
        m_held = bytes.mid(from);
        m_heldReads = (from == 0 ? heldReads : 0) + 1;
    };
    const auto unknownRun = [&](qsizetype from) {
        const qsizetype end = cli::findFrameStart(bytes, from + 1, cli::LoneFf::Counts);
        ReceivedFrame frame;
        frame.bytes = bytes.mid(from, end - from);
        frames << frame;
        return end;
    };

    while (pos < bytes.size()) {
        const qsizetype available = bytes.size() - pos;
        if (byteAt(bytes, pos) != 0xFF) {
            pos = unknownRun(pos);
            continue;
        }
        if (available < 2) {
            hold(pos);
            break;
        }
        if (byteAt(bytes, pos + 1) != 0x00) {
            pos = unknownRun(pos);
            continue;
        }
        if (available < 3) {
            hold(pos);
            break;
        }
        const quint8 code = byteAt(bytes, pos + 2);
        if (code == CodeMessage && available < 4) {
            hold(pos);
            break;
        }
        const quint8 type = code == CodeMessage ? byteAt(bytes, pos + 3) : 0;
        const int length = fixedLength(code, type);
        if (length < 0) {
            pos = unknownRun(pos);
            continue;
        }
        ReceivedFrame frame;
        if (length == 0) {
            const qsizetype end = cli::findFrameStart(bytes, pos + 4, cli::LoneFf::Ignored);
            frame.kind = ReceivedKind::SerialOutput;
            frame.port = type;
            frame.bytes = bytes.mid(pos, end - pos);
            if (end == bytes.size())
                m_openSerialPort = type;
            frames << frame;
            pos = end;
            continue;
        }
        if (available < length) {
            hold(pos);
            break;
        }
        frame.kind = kindOfCode(code);
        frame.bytes = bytes.mid(pos, length);
        frame.reads = pos == 0 ? heldReads + 1 : 1;
        frames << frame;
        pos += length;
    }
    return frames;
}

QByteArray FrameStreamParser::takeIncomplete() {
    QByteArray held;
    held.swap(m_held);
    m_heldReads = 0;
    return held;
}

void FrameStreamParser::reset() {
    m_held.clear();
    m_heldReads = 0;
    m_openSerialPort = -1;
}

} // namespace sim
