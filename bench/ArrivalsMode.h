#pragma once

#include <QString>

// The CPU-cost mode: the tester with Echo checked handles `count` GPI input messages, one at
// a time, each one with everything that follows it (echo, log trim, repaint) done before the
// device sends the next, so every arrival costs the same whatever the machine's speed. Under
// callgrind the counters are zeroed before the first arrival and dumped after the last.
int runArrivals(int count, QString *error);
