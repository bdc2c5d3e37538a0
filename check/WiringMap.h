#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Which input each output of the box is looped back to on the test harness.
struct Channel {
    int output = 0; // GPI indices, 0 to 23 (GPI number - 1)
    int input = 0;

    bool operator==(const Channel &other) const {
        return output == other.output && input == other.input;
    }
};

struct WiringMap {
    QList<Channel> channels; // by rising output
    // Where it came from, for the report: "straight" or the file's name.
    QString source = QStringLiteral("straight");
};

struct ReadMap {
    WiringMap map;
    int badLine = 0; // 0 when the map was read; else the line number (from 1) at fault
    QString error;   // empty when the map was read

    bool ok() const { return error.isEmpty(); }
};

// Output N looped back to input N, for GPIs 1 to gpis.
WiringMap StraightMap(int gpis);

// One "OUTPUT INPUT" pair of GPI numbers (1 to gpis) per line; '#' starts a comment, blank
// lines are skipped. An output or an input may appear once only, and at least one pair must
// be given.
ReadMap ParseWiringMap(const QByteArray &text, int gpis);

// Reads and parses a map file; a file that cannot be read, or is too big to be a map, is an
// error without a line number.
ReadMap LoadWiringMap(const QString &path, int gpis);

constexpr qint64 MaxMapFileSize = 64 * 1024;
