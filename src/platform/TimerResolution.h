#pragma once

// Asks the system for timers as fine as the given number of milliseconds, for the rest of
// the process's life.
void requestTimerResolution(int milliseconds);
