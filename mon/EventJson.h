#pragma once

#include "MonEvent.h"

#include <QByteArray>

// The monitor's events as JSON lines: one compact object and a line end per event, with
// "event" (state, edge, serial, link, heartbeat, summary), "time" (local, ISO 8601 with
// milliseconds and offset) and "elapsedMs" (since the start, on the steady clock).
QByteArray EventJson(const MonEvent &event);
