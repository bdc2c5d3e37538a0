// The byte stream from the box as the wiring check reads it, cut into reads at places the
// input chooses. Every frame handed on is a whole GPI, output status or ID message taken from
// the stream in order; few bytes are held between reads; and neither the frames nor the
// garbage that ends the stream depend on where the reads were cut.

#include "DeviceStream.h"
#include "FuzzCheck.h"
#include "protocol/Frames.h"

#include <cstdint>

namespace {

struct Outcome {
    QList<QByteArray> frames;
    QByteArray garbage;
};

bool wellFormed(const QByteArray &frame) {
    if (frame.size() < Frame::HeaderLength || !frame.startsWith(QByteArray::fromHex("ff0000")))
        return false;
    switch (quint8(frame.at(3))) {
    case Frame::GpiMessage:
    case Frame::GpiOutputStatusMessage:
        return frame.size() == Frame::GpiMessageLength;
    case Frame::IdResponse:
        return frame.size() == Frame::IdResponseLength;
    default:
        return false;
    }
}

// Feeds the stream in reads of readLength bytes (0: all in one read) up to its end or the
// first garbage, where the check gives up on the box, and checks the reader after each read.
Outcome readAll(const QByteArray &stream, qsizetype readLength) {
    cli::DeviceStream reader;
    Outcome out;
    for (qsizetype pos = 0; pos < stream.size() && out.garbage.isEmpty();) {
        const qsizetype n = readLength == 0 ? stream.size() : readLength;
        const cli::DeviceStream::Result read = reader.feed(stream.mid(pos, n));
        pos += n;
        for (const QByteArray &frame : read.frames)
            FUZZ_CHECK(wellFormed(frame));
        out.frames += read.frames;
        out.garbage = read.garbage;
        // The garbage shown is a short piece of what came in.
        FUZZ_CHECK(out.garbage.size() <= 16 && stream.contains(out.garbage));
        // What is held is the last few bytes read, kept for the next read.
        FUZZ_CHECK(reader.held().size() <= cli::DeviceStream::MaxHeld);
        FUZZ_CHECK(stream.left(pos).endsWith(reader.held()));
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte says how long the reads are: 1 to 16 bytes, or the rest in one read.
    const qsizetype readLength = data[0] % 17;
    const QByteArray stream(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const Outcome whole = readAll(stream, 0);
    qsizetype from = 0;
    for (const QByteArray &frame : whole.frames) {
        const qsizetype at = stream.indexOf(frame, from);
        FUZZ_CHECK(at >= 0);
        from = at + frame.size();
    }
    // Cut anywhere, the same frames come out and the same garbage stops the stream; a cut may
    // only end the garbage shown early.
    for (const qsizetype length : {qsizetype(1), readLength}) {
        const Outcome cut = readAll(stream, length);
        FUZZ_CHECK(cut.frames == whole.frames);
        FUZZ_CHECK(cut.garbage.isEmpty() == whole.garbage.isEmpty());
        FUZZ_CHECK(whole.garbage.startsWith(cut.garbage));
    }
    return 0;
}
