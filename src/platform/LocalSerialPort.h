#pragma once

#include <QByteArray>

// The PC's own serial port, read by the Blast release.
class LocalSerialPort {
public:
    virtual ~LocalSerialPort() = default;

    // Makes the port ready to receive; opening a port that is open already does nothing.
    // Returns false while the port cannot be opened (a later call tries again).
    virtual bool open() = 0;

    // Bytes waiting in the input buffer (0 while the port is not open).
    virtual int inBufferCount() = 0;
    // Everything waiting; empties the buffer.
    virtual QByteArray input() = 0;
};
