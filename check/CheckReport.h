#pragma once

#include "BoxRecord.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

enum class ReportFormat { Text, Json, Junit };

// The layout of the JSON reports; raised whenever a key changes its meaning or goes.
constexpr int JsonLayoutVersion = 2;

// The report of one box, as text for a person and as JSON for a test bench's records, for
// every outcome. Both say the same: the box and who checked it where, the settings, one entry
// per channel checked, the time the check took and the outcome.
QString TextReport(const BoxRecord &record);
QJsonObject JsonRecord(const BoxRecord &record);
QByteArray JsonReport(const BoxRecord &record);
// One box's report in the format asked for (JUnit: a file with its one test suite).
QByteArray BoxReport(ReportFormat format, const BoxRecord &record);
// "txt", "json" or "xml".
QString ReportSuffix(ReportFormat format);

// The last line of the text report of a finished check: "PASS" or "FAIL: 3 of 24 channels".
QString ResultLine(const CheckResult &result);
