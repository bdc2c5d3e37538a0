#pragma once

#include "WiringCheck.h"

#include <QString>
#include <QStringList>

struct CheckOptions {
    CheckSettings settings;
    QString reportFile; // empty: no report file
    bool json = false;  // --format json
};

struct ParsedOptions {
    CheckOptions options;
    bool help = false;
    bool version = false;
    // Empty when the command line was understood; otherwise what was wrong.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// The command line of vorn-check (the program's name first), the map file read included.
ParsedOptions ParseCheckOptions(const QStringList &arguments);

// What --help prints: usage, options with their defaults, the map file, exit status and an
// example.
QString CheckHelpText();
