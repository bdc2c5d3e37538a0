#pragma once

#include <QByteArray>

// The PC's own serial port, read by the Blast release.
class LocalSerialPort {
public:
    virtual ~LocalSerialPort() = default;

    // Bytes waiting in the input buffer (0 when the port cannot be opened).
    virtual int inBufferCount() = 0;
    // Everything waiting; empties the buffer.
    virtual QByteArray input() = 0;
};
