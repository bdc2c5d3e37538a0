#pragma once

#include <QString>

namespace sim {

// What `vorn-sim --help` and the `help` command print: options, commands and what the
// device does with each frame.
QString helpText();

} // namespace sim
