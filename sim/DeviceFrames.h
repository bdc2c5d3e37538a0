#pragma once

#include <QByteArray>
#include <QString>

// The device's side of the wire: the frames it sends and the words it uses for what it sees.
// Kept apart from the tester's own frame code, so that a fault in one is not mirrored by the
// other and the simulator can catch it.
namespace sim {

// Three GPI state bytes as one number: bit i belongs to GPI index i (GPI number i + 1),
// active low, so 0xFFFFFF is all off and 0 is all on.
using GpiBits = quint32;
constexpr GpiBits AllOff = 0xFFFFFF;

// What the tester sends: request codes after FF 00, message types after FF 00 00.
constexpr quint8 CodeMessage = 0x00;
constexpr quint8 CodeInputStatusRequest = 0x01;
constexpr quint8 CodeFirmwareVersionRequest = 0x02;
constexpr quint8 CodeSerialBreakRequest = 0x04;
constexpr quint8 CodeOutputStatusRequest = 0x05;
constexpr quint8 TypeGpiInput = 0x04; // also set-outputs from the tester: same layout
constexpr quint8 TypeIdResponse = 0x05;
constexpr quint8 TypeGpiOutputStatus = 0x06;
constexpr int SerialPortCount = 4;

QByteArray gpiInputMessage(GpiBits inputs);
QByteArray gpiOutputStatusMessage(GpiBits outputs);
QByteArray idResponse(quint8 major, quint8 minor);
QByteArray serialInputMessage(int portIndex, const QByteArray &data);

// The state carried by bytes 5 to 7 of a GPI message; the caller checks the length.
GpiBits gpiBitsAt(const QByteArray &frame, int offset = 4);

// "all off", "all on" or "on 1-3, 12" (GPI numbers, counted from 1).
QString describeGpiBits(GpiBits bits);
// "ports 2, 4", "no port"; bits 4 to 7 are named as not being ports.
QString describePortMask(quint8 mask);
// "FF 00 01"; past maxBytes an ellipsis and the count of the rest.
QString hexBytes(const QByteArray &bytes, int maxBytes = 24);
// Text with control bytes escaped ("Hello port 1.\r\n"), cut after maxChars.
QString printableText(const QByteArray &bytes, int maxChars = 40);
// What a frame from the device means to the tester, including why it would reject it.
QString describeDeviceFrame(const QByteArray &frame);

} // namespace sim
