#include "BoxWireFaults.h"

#include "WholeNumber.h"

namespace sim {

namespace {

// The box a value is for (0: every box) and its fault text. A fault text begins with its
// kind, never with a digit, so a leading number is a box number.
std::pair<int, QString> split(const QString &value) {
    if (value.isEmpty() || !value.front().isDigit())
        return {0, value};
    const std::optional<int> box = cli::readWholeNumber(value.section(u':', 0, 0), 1, 65535);
    return {box.value_or(-1), value.section(u':', 1)};
}

} // namespace

QStringList wireFaultsOfBox(const QStringList &values, int box) {
    QStringList faults;
    for (const QString &value : values) {
        const auto [number, fault] = split(value);
        if (number == 0 || number == box)
            faults << fault;
    }
    return faults;
}

QString checkBoxNumbers(const QStringList &values, int boxes) {
    for (const QString &value : values) {
        const int number = split(value).first;
        if (number < 0 || number > boxes)
            return QStringLiteral("--wire-fault: '%1' names no box; the boxes are 1 to %2")
                .arg(value.left(40))
                .arg(boxes);
    }
    return QString();
}

} // namespace sim
