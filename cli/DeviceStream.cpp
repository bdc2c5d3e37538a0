#include "DeviceStream.h"

#include "FrameStart.h"
#include "protocol/Frames.h"

namespace cli {

namespace {

quint8 at(const QByteArray &bytes, qsizetype i) {
    return quint8(bytes.at(i));
}

// The length of the message of this type, 0 for serial data (no length), -1 for none.
int messageLength(quint8 type) {
    switch (type) {
    case Frame::GpiMessage:
    case Frame::GpiOutputStatusMessage:
        return Frame::GpiMessageLength;
    case Frame::IdResponse:
        return Frame::IdResponseLength;
    default:
        return type <= Frame::SerialPort4Message ? 0 : -1;
    }
}

// The bytes from pos up to the next frame header, at most 16 of them, to show in an error.
QByteArray garbageAt(const QByteArray &stream, qsizetype pos) {
    return stream.mid(pos,
                      qMin<qsizetype>(findFrameStart(stream, pos + 1, LoneFf::Counts) - pos, 16));
}

} // namespace

DeviceStream::Result DeviceStream::feed(const QByteArray &bytes) {
    Result result;
    const QByteArray stream = m_held + bytes;
    m_held.clear();
    qsizetype pos = m_inSerialData ? skipSerialData(stream, 0, result) : 0;
    // Garbage at pos: skipped up to the next frame start, or the end of the stream.
    const auto skip = [&] {
        const qsizetype next = findFrameStart(stream, pos + 1, LoneFf::Counts);
        result.skipped += next - pos;
        pos = next;
    };
    while (pos < stream.size()) {
        const qsizetype left = stream.size() - pos;
        // The header FF 00 00 type, as far as it has come.
        const qsizetype headerSeen = qMin<qsizetype>(left, Frame::HeaderLength);
        const QByteArray header = QByteArray::fromHex("ff0000").left(headerSeen);
        if (stream.mid(pos, qMin<qsizetype>(headerSeen, 3)) != header.left(3)) {
            if (m_reading.skipGarbage) {
                skip();
                continue;
            }
            result.garbage = garbageAt(stream, pos);
            return result;
        }
        if (left < Frame::HeaderLength) {
            m_held = stream.mid(pos);
            break;
        }
        const int length = messageLength(at(stream, pos + 3));
        if (length < 0) {
            if (m_reading.skipGarbage) {
                skip();
                continue;
            }
            result.garbage = garbageAt(stream, pos);
            return result;
        }
        if (length == 0) {
            m_serialType = at(stream, pos + 3);
            pos = skipSerialData(stream, pos + Frame::HeaderLength, result);
            continue;
        }
        if (left < length) {
            m_held = stream.mid(pos);
            break;
        }
        result.frames << stream.mid(pos, length);
        pos += length;
    }
    return result;
}

qsizetype DeviceStream::skipSerialData(const QByteArray &stream, qsizetype from, Result &result) {
    const qsizetype end = findFrameStart(stream, from, LoneFf::Counts);
    if (m_reading.keepSerial && end > from) {
        const char header[] = {char(Frame::StartByte), char(Frame::SecondHeaderByte),
                               char(Frame::Message), char(m_serialType)};
        result.frames << QByteArray(header, Frame::HeaderLength) + stream.mid(from, end - from);
    }
    m_inSerialData = end >= stream.size() - 1;
    if (end == stream.size() - 1) {
        // A lone FF at the end: the next read tells whether it begins a header or is data.
        m_held = stream.mid(end);
        return stream.size();
    }
    return end;
}

} // namespace cli
