#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Frames written and compared as hex text, so that a failed comparison shows the bytes.

inline QByteArray hex(const char *text) {
    return QByteArray::fromHex(text);
}

// "ff 00 01" for each frame.
inline QStringList hexList(const QList<QByteArray> &frames) {
    QStringList list;
    for (const QByteArray &frame : frames)
        list << QString::fromLatin1(frame.toHex(' '));
    return list;
}
