#pragma once

#include <QByteArray>
#include <QList>

namespace sim {

// What the device makes of the bytes a tester sends.
enum class ReceivedKind {
    InputStatusRequest,     // FF 00 01
    FirmwareVersionRequest, // FF 00 02
    OutputStatusRequest,    // FF 00 05
    SerialBreakRequest,     // FF 00 04 mask
    SetGpiOutputs,          // FF 00 00 04 b0 b1 b2
    SerialOutput,           // FF 00 00 0i data
    Unknown,                // bytes that begin no frame the device knows
};

struct ReceivedFrame {
    ReceivedKind kind = ReceivedKind::Unknown;
    QByteArray bytes;
    // Serial output: the port index 0 to 3.
    int port = -1;
    // Serial data that carries on the message the previous read ended in (no header).
    bool continued = false;
    // Reads a fixed-length frame was gathered from; above 1 the tester split its write.
    int reads = 1;
};

// Cuts the byte stream from a tester into frames by their known lengths: three bytes for
// FF 00 01, 02 and 05, four for FF 00 04 m, seven for FF 00 00 04. A serial message
// FF 00 00 0i runs to the next FF 00 or to the end of the read, and a following read that
// does not begin with FF 00 carries on its data. A fixed-length frame cut short by the end
// of a read waits for the next read (at most six bytes are held). Anything else is reported
// as unknown bytes up to the next FF 00, and parsing goes on from there.
class FrameStreamParser {
public:
    QList<ReceivedFrame> feed(const QByteArray &read);

    // The beginning of a frame still waiting for its end; clears it. For when the
    // connection closes.
    QByteArray takeIncomplete();

    void reset();

    static constexpr int MaxHeld = 6;

private:
    QByteArray m_held;
    int m_heldReads = 0;
    // The serial port whose message the last read ended inside, or -1.
    int m_openSerialPort = -1;
};

} // namespace sim
