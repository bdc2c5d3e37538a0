#pragma once

#include "MonSettings.h"

#include <QString>
#include <QStringList>

struct MonOptions {
    MonSettings settings;
    bool json = false; // --format json
    QString vcdFile;   // empty: none
};

struct ParsedMonOptions {
    MonOptions options;
    bool help = false;
    bool version = false;
    // Empty when the command line was understood; otherwise what was wrong.
    QString error;

    bool ok() const { return error.isEmpty(); }
};

// The command line of vorn-mon (the program's name first), the names file read included.
ParsedMonOptions ParseMonOptions(const QStringList &arguments);

// What --help prints.
QString MonHelpText();
