#include "Frames.h"

namespace {

QByteArray request(quint8 command) {
    QByteArray frame;
    frame.reserve(3);
    frame.append(char(Frame::StartByte));
    frame.append(char(Frame::SecondHeaderByte));
    frame.append(char(command));
    return frame;
}

QByteArray message(quint8 type, const QByteArray &payload) {
    QByteArray frame;
    frame.reserve(Frame::HeaderLength + payload.size());
    frame.append(char(Frame::StartByte));
    frame.append(char(Frame::SecondHeaderByte));
    frame.append(char(Frame::Message));
    frame.append(char(type));
    frame.append(payload);
    return frame;
}

QByteArray stateBytes(quint8 b0, quint8 b1, quint8 b2) {
    const char bytes[] = {char(b0), char(b1), char(b2)};
    return QByteArray(bytes, sizeof bytes);
}

quint8 byteAt(const QByteArray &frame, int number) {
    return quint8(frame.at(number - 1));
}

} // namespace

QByteArray MakeGpiInputStatusRequest() {
    return request(Frame::GpiInputStatusRequest);
}

QByteArray MakeGpiOutputStatusRequest() {
    return request(Frame::GpiOutputStatusRequest);
}

QByteArray MakeFirmwareVersionRequest() {
    return request(Frame::FirmwareVersionRequest);
}

QByteArray MakeSerialBreakRequest(quint8 portMask) {
    QByteArray frame = request(Frame::SerialBreakRequest);
    frame.append(char(portMask));
    return frame;
}

QByteArray MakeSetGpiOutputsMessage(quint8 b0, quint8 b1, quint8 b2) {
    return message(Frame::GpiMessage, stateBytes(b0, b1, b2));
}

QByteArray MakeSerialOutputMessage(quint8 portIndex, const QByteArray &data) {
    return message(portIndex, data);
}

FrameClass ClassifyFrame(const QByteArray &bytes) {
    FrameClass result;
    result.bytes = bytes;
    const int size = int(bytes.size());
    // Each test looks at its own byte only; a frame that ends early fails at the first byte
    // it does not have.
    if (size < 1 || byteAt(bytes, 1) != Frame::StartByte)
        result.failedByte = 1;
    else if (size < 2 || byteAt(bytes, 2) != Frame::SecondHeaderByte)
        result.failedByte = 2;
    else if (size < 3 || byteAt(bytes, 3) != Frame::Message)
        result.failedByte = 3;
    else if (size < 4 || byteAt(bytes, 4) > Frame::LastMessageType)
        result.failedByte = 4;
    else
        result.messageType = byteAt(bytes, 4);
    return result;
}

std::optional<quint32> ReadGpiState(const QByteArray &frame) {
    if (frame.size() < Frame::GpiMessageLength)
        return std::nullopt;
    return quint32(byteAt(frame, 5)) | quint32(byteAt(frame, 6)) << 8 |
           quint32(byteAt(frame, 7)) << 16;
}

std::optional<QString> ReadFirmwareVersion(const QByteArray &frame) {
    if (frame.size() < Frame::IdResponseLength)
        return std::nullopt;
    const quint8 minor = byteAt(frame, 5);
    const quint8 major = byteAt(frame, 6);
    return QString::number(major) + QLatin1Char('.') +
           QString::number(minor).rightJustified(2, QLatin1Char('0'));
}
