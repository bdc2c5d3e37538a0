#pragma once

#include "platform/LocalSerialPort.h"

// The PC's serial port as a byte buffer the test fills.
class FakeSerialPort : public LocalSerialPort {
public:
    bool open() override {
        ++opens;
        return true;
    }
    int inBufferCount() override { return int(buffer.size()); }
    QByteArray input() override {
        ++reads;
        QByteArray data;
        data.swap(buffer);
        // Bytes that come in while the release handler reads arrive with the next read.
        buffer.swap(arrivingDuringRead);
        return data;
    }

    QByteArray buffer;
    QByteArray arrivingDuringRead;
    int reads = 0;
    int opens = 0;
};
