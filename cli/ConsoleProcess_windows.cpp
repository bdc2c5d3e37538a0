#include "ConsoleProcess.h"

namespace cli {

// A Windows process has no descriptors for a socket to take, and a write to a closed pipe
// fails without a signal: nothing to set up.
void holdStandardFiles() {}

void ignoreBrokenPipes() {}

} // namespace cli
