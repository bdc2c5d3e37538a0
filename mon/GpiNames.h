#pragma once

#include <QMap>
#include <QString>

// The names of the GPIs, by number (1 to 24), as the --names file gives them: one per line,
// "7 Studio A on-air", '#' to the end of a line is a comment.
using GpiNames = QMap<int, QString>;

struct ReadNames {
    GpiNames names;
    // Empty when the file was read; otherwise what was wrong, with the line's number.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

ReadNames ParseGpiNames(const QString &text, int gpis);
ReadNames LoadGpiNames(const QString &path, int gpis);
