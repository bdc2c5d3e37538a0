#pragma once

#include "SimCommand.h"

#include <QString>

namespace sim {

class SimulatedDevice;

// Carries out one command on the device and says what happened, in a line or a few, for
// the person who typed it. Help and Quit are the caller's to act on; this only answers them.
QString runCommand(SimulatedDevice &device, const SimCommand &command);

} // namespace sim
