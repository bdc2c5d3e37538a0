#pragma once

#include "BoxRecord.h"
#include "CheckReport.h"
#include "RackFile.h"

#include <QString>
#include <QStringList>

struct CheckOptions {
    CheckSettings settings;
    BoxLabel label;
    QString reportFile; // empty: no report file; with a rack, the combined report
    ReportFormat format = ReportFormat::Text;
    // A rack of boxes instead of one box: read from the rack file, checked jobs at a time.
    QList<RackBox> rack;
    int jobs = 16;
    QString reportDir; // empty: no report per box

    bool isRack() const { return !rack.isEmpty(); }
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
