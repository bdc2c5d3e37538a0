#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The byte frames exchanged with the device. Every frame starts FF 00 and a command code;
// a message (command code 00) carries its type in byte 4 and its payload from byte 5 on.
// Bytes are numbered from 1 here, as the tester's log lines count them.

namespace Frame {
constexpr quint8 StartByte = 0xFF;
constexpr quint8 SecondHeaderByte = 0x00;

// Byte 3.
enum CommandCode : quint8 {
    Message = 0x00,
    GpiInputStatusRequest = 0x01,
    FirmwareVersionRequest = 0x02,
    SerialBreakRequest = 0x04,
    GpiOutputStatusRequest = 0x05,
};

// Byte 4 of a message. Types 00 to 03 carry serial data for ports 1 to 4 in both
// directions; type 04 carries GPI state bytes in both directions (the outputs to set, or
// the inputs reported).
enum MessageType : quint8 {
    SerialPort1Message = 0x00,
    SerialPort2Message = 0x01,
    SerialPort3Message = 0x02,
    SerialPort4Message = 0x03,
    GpiMessage = 0x04, // SetGpiOutputsMessage to the device, GpiInputMessage from it
    IdResponse = 0x05,
    GpiOutputStatusMessage = 0x06,
};
constexpr quint8 LastMessageType = GpiOutputStatusMessage;

constexpr int HeaderLength = 4;           // FF 00 00 type
constexpr int GpiMessageLength = 7;       // header and three GPI state bytes
constexpr int IdResponseLength = 6;       // header, minor and major version
constexpr int GpiCount = 24;              // bits carried by the three state bytes
constexpr quint32 AllGpisOff = 0xFFFFFFu; // active low: a 1 bit is off
} // namespace Frame

// Requests, tester to device.
QByteArray MakeGpiInputStatusRequest();
QByteArray MakeGpiOutputStatusRequest();
QByteArray MakeFirmwareVersionRequest();
// Bit i of the mask selects serial port i + 1.
QByteArray MakeSerialBreakRequest(quint8 portMask);

// Messages, tester to device.
QByteArray MakeSetGpiOutputsMessage(quint8 b0, quint8 b1, quint8 b2);
// portIndex 0 to 3 selects serial port 1 to 4; data may be empty.
QByteArray MakeSerialOutputMessage(quint8 portIndex, const QByteArray &data);

// What the header tests made of one arrival: a message with its type, or the number of the
// first header byte (1 to 4) that failed. A byte that is missing fails like a wrong one.
struct FrameClass {
    int failedByte = 0;     // 0 when the header passed
    quint8 messageType = 0; // byte 4, valid only when the header passed
    QByteArray bytes;       // the whole frame, payload and any trailing bytes

    bool isMessage() const { return failedByte == 0; }
};

// Tests bytes 1 to 4 in order (FF, 00, 00, a type of 00 to 06) and stops at the first
// failure; later bytes are not looked at.
FrameClass ClassifyFrame(const QByteArray &bytes);

// The GPI state of a message with three state bytes (bytes 5 to 7): bit i belongs to GPI
// index i and is 0 when that GPI is on. Nothing when the frame is too short to hold them.
std::optional<quint32> ReadGpiState(const QByteArray &frame);

// True when GPI index (0 to 23) is on in a state read by ReadGpiState.
constexpr bool GpiIsOn(quint32 state, int index) {
    return ((state >> index) & 1u) == 0;
}

// The firmware version of an ID response as the tester shows it: major (byte 6), a point and
// minor (byte 5) with at least two digits, e.g. "2.05". Nothing when the frame is too short.
std::optional<QString> ReadFirmwareVersion(const QByteArray &frame);
