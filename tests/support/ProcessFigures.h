#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>

// Figures of this process from /proc, for tests that check nothing is left behind.

// Open file descriptors.
inline int openDescriptors() {
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot).size());
}

// Resident memory in kB, or -1 where it cannot be read.
inline qint64 residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}
