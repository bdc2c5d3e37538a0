#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace cli {

// Cuts what the box sends into frames. TCP may split a frame over reads or join several in
// one, so the bytes are taken as a stream: GPI input and output status messages are seven
// bytes long, an ID response six. A serial input message has no length; its data runs to the
// next FF 00 and is dropped, as the check has no use for it. At most the beginning of one
// frame (six bytes), or a lone FF that ends serial data, is held between reads.
class DeviceStream {
public:
    struct Result {
        QList<QByteArray> frames;
        // Bytes that begin no frame the box sends; the stream is of no use after them.
        QByteArray garbage;
    };

    Result feed(const QByteArray &bytes);

    // The bytes kept for the next read, at most MaxHeld of them.
    const QByteArray &held() const { return m_held; }

    static constexpr int MaxHeld = 6;

private:
    // Skips serial data from `from` up to the next header and returns where it begins, or the
    // end of the stream when the data runs on into the next read.
    qsizetype skipSerialData(const QByteArray &stream, qsizetype from);

    QByteArray m_held;
    bool m_inSerialData = false;
};

} // namespace cli
