#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Cuts what the box sends into frames. TCP may split a frame over reads or join several in
// one, so the bytes are taken as a stream: GPI input and output status messages are seven
// bytes long, an ID response six. A serial input message has no length; its data runs to the
// next FF 00 and is dropped, as the check has no use for it. At most the beginning of one
// frame (six bytes) is held between reads.
class DeviceStream {
public:
    struct Result {
        QList<QByteArray> frames;
        // Bytes that begin no frame the box sends; the stream is of no use after them.
        QByteArray garbage;
    };

    Result feed(const QByteArray &bytes);

    static constexpr int MaxHeld = 6;

private:
    QByteArray m_held;
    bool m_inSerialData = false;
};
