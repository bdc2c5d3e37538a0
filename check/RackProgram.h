#pragma once

#include "CheckOptions.h"

// vorn-check --rack: checks the rack's boxes, prints a line per box and the summary, writes
// the reports, and on a quit signal puts every box's outputs back; returns the exit status.
// Runs the application's event loop.
int RunRack(const CheckOptions &options);
