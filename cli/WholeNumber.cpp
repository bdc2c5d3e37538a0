#include "WholeNumber.h"

#include <QCommandLineParser>

#include <algorithm>

namespace cli {

std::optional<int> readWholeNumber(QStringView text, int min, int max) {
    const bool digitsOnly = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    bool ok = false;
    const qlonglong value = digitsOnly ? text.toLongLong(&ok, 10) : 0;
    if (!ok || value < min || value > max)
        return std::nullopt;
    return int(value);
}

QString wholeNumberError(const QString &what, const QString &text, int min, int max) {
    // One arg() for the texts, so that a '%' in what was given is shown as written.
    return QStringLiteral("%1: '%2' is not a whole number from %3 to %4")
        .arg(what, text.left(40), QString::number(min), QString::number(max));
}

std::optional<int> readOptionNumber(const QCommandLineParser &parser,
                                    const QCommandLineOption &option, int min, int max,
                                    QString *error) {
    const QString text = parser.value(option);
    const std::optional<int> value = readWholeNumber(text, min, max);
    if (!value && error)
        *error =
            wholeNumberError(QStringLiteral("--") + option.names().constLast(), text, min, max);
    return value;
}

} // namespace cli
