#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace cli {

// Cuts what the box sends into frames. TCP may split a frame over reads or join several in
// one, so the bytes are taken as a stream: GPI input and output status messages are seven
// bytes long, an ID response six. A serial input message has no length; its data runs to the
// next FF 00; it is dropped unless the reader keeps it. At most the beginning of one frame
// (six bytes), or a lone FF that ends serial data, is held between reads.
class DeviceStream {
public:
    struct Reading {
        // Bytes that begin no frame are skipped up to the next FF 00 and counted, and reading
        // goes on; otherwise the first of them end the stream.
        bool skipGarbage = false;
        // Serial data comes out as frames of its own, header and data, one for each piece
        // that arrived in one read; otherwise it is dropped.
        bool keepSerial = false;
    };

    struct Result {
        QList<QByteArray> frames;
        // Bytes that begin no frame the box sends; the stream is of no use after them.
        // Always empty when garbage is skipped.
        QByteArray garbage;
        // Bytes skipped as garbage in this read.
        qsizetype skipped = 0;
    };

    DeviceStream() = default;
    explicit DeviceStream(Reading reading) : m_reading(reading) {}

    Result feed(const QByteArray &bytes);

    // The bytes kept for the next read, at most MaxHeld of them.
    const QByteArray &held() const { return m_held; }

    static constexpr int MaxHeld = 6;

private:
    // Skips serial data from `from` up to the next header and returns where it begins, or the
    // end of the stream when the data runs on into the next read.
    // With keepSerial, the data read goes to result as a frame.
    qsizetype skipSerialData(const QByteArray &stream, qsizetype from, Result &result);

    Reading m_reading;
    QByteArray m_held;
    bool m_inSerialData = false;
    quint8 m_serialType = 0;
};

} // namespace cli
