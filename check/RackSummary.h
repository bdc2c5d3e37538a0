#pragma once

#include "BoxRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

enum class ReportFormat;

// How a rack's boxes came out, counted.
struct RackTally {
    int pass = 0;
    int fail = 0;
    int notChecked = 0;
    qint64 elapsedNs = 0;

    int boxes() const { return pass + fail + notChecked; }
    double boxesPerMinute() const;
    // The worst of the boxes' exit statuses: 2 over 1 over 0.
    int exitStatus() const;
};

RackTally Tally(const QList<BoxRecord> &records, qint64 elapsedNs);

// "126 pass, 1 fail, 1 not checked in 12.41 s (624 boxes per minute)".
QString SummaryLine(const RackTally &tally);
// The line printed as a box ends: "ZB-0417 (127.0.0.1:2324): PASS in 1.35 s".
QString BoxLine(const BoxRecord &record);

// The report of the whole rack: text, each box's report and the summary; JSON, the summary
// and every box's record; JUnit, one file with a suite per box.
QByteArray RackReport(ReportFormat format, const QList<BoxRecord> &records, const RackTally &tally);
// The name of a box's own report file: its unit id, else ADDRESS-PORT, and the suffix.
QString BoxReportName(const BoxRecord &record, ReportFormat format);
