#pragma once

#include "WiringCheck.h"

#include <QByteArray>
#include <QString>

// The report of a finished check (pass or fail), as text for a person and as JSON for a
// test bench's records. Both say the same: a header (address, port, firmware, date and time,
// map), one entry per channel, the time the check took and the result.
QString TextReport(const CheckResult &result);
QByteArray JsonReport(const CheckResult &result);

// The last line of the text report: "PASS" or "FAIL: 3 of 24 channels".
QString ResultLine(const CheckResult &result);
