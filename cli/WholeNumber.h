#pragma once

#include <QString>
#include <QStringView>

#include <optional>

class QCommandLineOption;
class QCommandLineParser;

namespace cli {

// The one rule for a number given to a command-line program, as an option's value, a field
// of a file or a word of a typed command: decimal digits only (no sign, no blanks, no other
// base), from min to max. Leading zeros are allowed.
std::optional<int> readWholeNumber(QStringView text, int min, int max);

// What is said when text breaks that rule, naming what it was given as:
// "--port: 'abc' is not a whole number from 1 to 65535".
QString wholeNumberError(const QString &what, const QString &text, int min, int max);

// The value of a parsed option by that rule; when it breaks the rule, nothing, and error
// (when given) says so, naming the option by its longest name.
std::optional<int> readOptionNumber(const QCommandLineParser &parser,
                                    const QCommandLineOption &option, int min, int max,
                                    QString *error);

} // namespace cli
