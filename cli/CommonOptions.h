#pragma once

#include <QString>

class QCommandLineOption;
class QCommandLineParser;
class QHostAddress;

namespace cli {

// What every program's command line refuses alike. Each returns the error text, empty when
// there is nothing to refuse.

// An argument that is not an option: none of the programs takes one.
QString unexpectedArgument(const QCommandLineParser &parser);

// The box's IP address from an option that is required.
QString readAddress(const QCommandLineParser &parser, const QCommandLineOption &option,
                    QHostAddress *address);

} // namespace cli
