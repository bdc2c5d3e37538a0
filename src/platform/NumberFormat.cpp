#include "NumberFormat.h"

#include <cmath>

namespace {

bool isDigitPlaceholder(QChar c) {
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

} // namespace

QString formatNumber(double value, const QString &pattern, const QLocale &locale) {
    // Find the numeric section: from the first to the last digit placeholder, with the
    // decimal point and grouping commas inside it.
    int first = -1;
    int last = -1;
    for (int i = 0; i < pattern.size(); ++i) {
        if (isDigitPlaceholder(pattern[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return pattern;
    // A point straight after the last placeholder still belongs to the number.
    if (last + 1 < pattern.size() && pattern[last + 1] == QLatin1Char('.'))
        ++last;

    const QString section = pattern.mid(first, last - first + 1);
    const int point = section.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? section : section.left(point);
    const QString fractionPart = point < 0 ? QString() : section.mid(point + 1);

    int decimals = 0;
    for (QChar c : fractionPart)
        if (isDigitPlaceholder(c))
            ++decimals;
    int minIntegerDigits = 0;
    for (QChar c : integerPart)
        if (c == QLatin1Char('0'))
            ++minIntegerDigits;
    const bool grouping = integerPart.contains(QLatin1Char(','));

    // Digits without any locale symbols, rounded to the decimals asked for.
    QString digits = QString::number(std::fabs(value), 'f', decimals);
    QString whole = decimals > 0 ? digits.left(digits.indexOf(QLatin1Char('.'))) : digits;
    const QString fraction =
        decimals > 0 ? digits.mid(digits.indexOf(QLatin1Char('.')) + 1) : QString();
    if (whole == QLatin1String("0") && minIntegerDigits == 0)
        whole.clear();
    while (whole.size() < minIntegerDigits)
        whole.prepend(QLatin1Char('0'));
    if (grouping && !locale.groupSeparator().isEmpty()) {
        for (int i = whole.size() - 3; i > 0; i -= 3)
            whole.insert(i, locale.groupSeparator());
    }

    // Only a number that still shows a non-zero digit carries its sign.
    bool negative = false;
    if (value < 0)
        for (QChar c : digits)
            negative = negative || (c >= QLatin1Char('1') && c <= QLatin1Char('9'));

    QString number = whole;
    if (point >= 0)
        number += locale.decimalPoint() + fraction;
    if (negative)
        number.prepend(locale.negativeSign());
    return pattern.left(first) + number + pattern.mid(last + 1);
}
