#pragma once

#include <QString>

class QCommandLineParser;

namespace cli {

// The parser's help, with the program named by the application's name, "Usage: vorn-sim
// [options]", rather than by the path it was started by (which would also end up in the
// manual pages made from the help).
QString helpText(const QCommandLineParser &parser);

} // namespace cli
