#pragma once

#include "WiringCheck.h"

#include <QByteArray>
#include <QList>
#include <QString>

// One box of a rack: where it is, how it is wired, and the unit id it is reported under.
struct RackBox {
    CheckSettings settings; // settle and timeout are the run's, not the file's
    QString unitId;         // empty: named by its address and port
    int line = 0;           // in the rack file, from 1
};

struct ReadRack {
    QList<RackBox> boxes;
    QString error; // empty when the rack was read; else "LINE N: what is wrong"

    bool ok() const { return error.isEmpty(); }
};

// One box per line: ADDRESS[:PORT] [gpis=8|24] [map=FILE] [unit=ID] ('#' starts a comment,
// blank lines are skipped; an IPv6 address with a port is written [ADDRESS]:PORT). The port
// is 23 and the box has 24 GPIs wired straight unless the line says otherwise; a map file
// is found from the rack file's folder. The same address and port twice, or the same unit id
// twice, is an error on the second line; so is a rack without a box.
ReadRack ParseRackFile(const QByteArray &text, const QString &folder);

// Reads and parses a rack file, named in the errors.
ReadRack LoadRackFile(const QString &path);

constexpr qint64 MaxRackFileSize = 1024 * 1024;
