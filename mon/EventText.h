#pragma once

#include "MonEvent.h"

#include <QString>

// The monitor's events as lines for a person: each begins with the local time to the
// millisecond and the offset from UTC. With colour (a terminal only), "on" and "short"
// stand out.
QString EventText(const MonEvent &event, bool colour);

// The local time of day as every line and record gives it: ISO 8601 with milliseconds and
// the offset from UTC, "2025-03-14T09:26:53.589+01:00".
QString TimeText(const QDateTime &time);

// A time in microseconds as the lines show it: "850 ms", "1.250 s", "2 min 5.000 s".
QString DurationText(qint64 us);
