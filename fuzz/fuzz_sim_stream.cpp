// The byte stream that reaches the simulator from whatever connects to it, cut into reads at
// places the input chooses. The frames found plus the bytes still held must be exactly the
// bytes that came in, in order; held bytes stay few; fixed-length frames have their length.

#include "DeviceFrames.h"
#include "FrameStreamParser.h"
#include "FuzzCheck.h"

#include <cstdint>

using sim::ReceivedFrame;
using sim::ReceivedKind;

namespace {

int fixedLength(ReceivedKind kind) {
    switch (kind) {
    case ReceivedKind::InputStatusRequest:
    case ReceivedKind::FirmwareVersionRequest:
    case ReceivedKind::OutputStatusRequest:
        return 3;
    case ReceivedKind::SerialBreakRequest:
        return 4;
    case ReceivedKind::SetGpiOutputs:
        return 7;
    default:
        return 0;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte says how long the reads are: 1 to 16 bytes, or the rest in one read.
    const qsizetype readLength = data[0] % 17;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    sim::FrameStreamParser parser;
    QByteArray seen;
    for (qsizetype pos = 0; pos < stream.size();) {
        const qsizetype n = readLength == 0 ? stream.size() : readLength;
        const QList<ReceivedFrame> frames = parser.feed(stream.mid(pos, n));
        pos += n;
        for (const ReceivedFrame &frame : frames) {
            FUZZ_CHECK(!frame.bytes.isEmpty());
            const int length = fixedLength(frame.kind);
            if (length > 0)
                FUZZ_CHECK(frame.bytes.size() == length &&
                           frame.bytes.startsWith(QByteArray::fromHex("ff00")));
            if (frame.kind == ReceivedKind::SerialOutput)
                FUZZ_CHECK(frame.port >= 0 && frame.port < sim::SerialPortCount);
            seen += frame.bytes;
        }
        // A copy tells what the parser holds without changing what it does next.
        sim::FrameStreamParser probe = parser;
        const QByteArray held = probe.takeIncomplete();
        FUZZ_CHECK(held.size() <= sim::FrameStreamParser::MaxHeld);
        FUZZ_CHECK(seen + held == stream.left(pos));
    }
    seen += parser.takeIncomplete();
    FUZZ_CHECK(seen == stream);
    return 0;
}
