#include "Stamps.h"

#include <cmath>
#include <cstdint>
#include <optional>

double CounterAsDouble(qint32 low, qint32 high) {
    double lowValue = low;
    double highValue = high;
    if (lowValue < 0)
        lowValue += 4294967296.0;
    if (highValue < 0)
        highValue += 4294967296.0;
    return highValue * 4294967296.0 + lowValue;
}

namespace {

// A counter without a frequency cannot time anything; its stamps read zero.
double seconds(double ticks, double frequency) {
    return frequency > 0 ? ticks / frequency : 0.0;
}

// A locale ready to write numbers with its group separator on or off. Changing a copy's number
// options gives it a private copy of its data, an allocation for every number; each log line
// has two, so the prepared locale is kept for as long as the locale asked for stays the same,
// with the symbols the plain writer below needs.
struct NumberSymbols {
    QLocale source;
    QLocale locale;
    // Digits 0 to 9 are the ASCII ones and no option but the group separator's is set.
    bool asciiDigits = false;
    QString decimalPoint;
};

const NumberSymbols &numberSymbols(const QLocale &locale, bool grouped) {
    thread_local std::optional<NumberSymbols> kept[2];
    std::optional<NumberSymbols> &slot = kept[grouped ? 1 : 0];
    if (!slot || slot->source != locale) {
        NumberSymbols symbols{locale, locale, false, QString()};
        QLocale::NumberOptions options = locale.numberOptions();
        options.setFlag(QLocale::OmitGroupSeparator, !grouped);
        if (options != locale.numberOptions())
            symbols.locale.setNumberOptions(options);
        symbols.asciiDigits = symbols.locale.zeroDigit() == QLatin1String("0") &&
                              (options & ~QLocale::NumberOptions(QLocale::OmitGroupSeparator)) ==
                                  QLocale::NumberOptions();
        symbols.decimalPoint = symbols.locale.decimalPoint();
        slot = std::move(symbols);
    }
    return *slot;
}

// value rounded to `decimals` places as Qt rounds it, exactly, half away from zero, written
// with ASCII digits and the given decimal point; false when the value is not one this writer
// takes (negative, not finite, from 10^12 up, or a locale of other digits), which Qt writes.
// The stamps are written at every arrival, and Qt's general conversion costs half the
// handler's formatting.
bool writePlain(double value, int decimals, const QString &point, QString *out) {
    if (!(value >= 0) || std::signbit(value) || !(value < 1e12) || decimals < 0 || decimals > 3)
        return false;
    static constexpr std::uint64_t Scale[] = {1, 10, 100, 1000};
    // value = mantissa * 2^exponent exactly, with mantissa below 2^53; below 10^12 the
    // exponent is negative, and mantissa * 1000 stays below 2^63.
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    const auto mantissa = std::uint64_t(std::ldexp(fraction, 53));
    const int shift = 53 - exponent;
    const std::uint64_t scaled = mantissa * Scale[decimals];
    std::uint64_t rounded = 0;
    if (shift < 64) {
        rounded = scaled >> shift;
        const std::uint64_t rest = scaled & ((std::uint64_t(1) << shift) - 1);
        if (shift > 0 && rest >= (std::uint64_t(1) << (shift - 1)))
            ++rounded;
    }
    char digits[32];
    int length = 0;
    std::uint64_t whole = rounded / Scale[decimals];
    do {
        digits[length++] = char('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    out->reserve(length + point.size() + decimals);
    while (length > 0)
        out->append(QLatin1Char(digits[--length]));
    if (decimals > 0) {
        out->append(point);
        std::uint64_t part = rounded % Scale[decimals];
        for (std::uint64_t unit = Scale[decimals] / 10; unit > 0; unit /= 10) {
            out->append(QLatin1Char(char('0' + part / unit)));
            part %= unit;
        }
    }
    return true;
}

// The number with a fixed count of decimals in the locale's symbols, grouped or not.
QString fixed(double value, int decimals, const QLocale &locale, bool grouped = false) {
    const NumberSymbols &symbols = numberSymbols(locale, grouped);
    QString text;
    if (!grouped && symbols.asciiDigits && writePlain(value, decimals, symbols.decimalPoint, &text))
        return text;
    return symbols.locale.toString(value, 'f', decimals);
}

// The rightmost width characters of text, but never fewer than its last `keep`: a field may
// lose its padding and punctuation to the width, never a digit; a number too long for the
// field makes it wider.
QString rightmost(const QString &text, int width, qsizetype keep) {
    return text.right(qMax(qsizetype(width), keep));
}

} // namespace

QString SinceConnectStamp(double arrivalCount, double connectCount, double frequency, int width,
                          const QLocale &locale) {
    // Right-aligned: blanks before a short number; a long one is written whole.
    return fixed(seconds(arrivalCount - connectCount, frequency), 3, locale)
        .rightJustified(width, u' ');
}

QString SincePreviousStamp(double arrivalCount, double prevArrivalCount, double frequency,
                           const QLocale &locale) {
    return QLatin1String(" (") +
           fixed(seconds(arrivalCount - prevArrivalCount, frequency), 3, locale) + QLatin1Char(')');
}

QString ResponseTimeStamp(double responseCount, double requestSentCount, double frequency,
                          const QLocale &locale) {
    return QLatin1Char('(') +
           fixed(seconds((responseCount - requestSentCount) * 1000, frequency), 1, locale) +
           QLatin1String("mS)");
}

QString StandardPrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                       double frequency, const QLocale &locale) {
    // The cut may take the blank and the "(" before the number.
    const QString previous = SincePreviousStamp(arrivalCount, prevArrivalCount, frequency, locale);
    return SinceConnectStamp(arrivalCount, connectCount, frequency, 8, locale) +
           rightmost(previous, 8, previous.size() - 2);
}

QString WidePrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                   double frequency, const QLocale &locale) {
    return SinceConnectStamp(arrivalCount, connectCount, frequency, 9, locale) +
           SincePreviousStamp(arrivalCount, prevArrivalCount, frequency, locale);
}

QString TimerResolutionLine(double frequency, const QLocale &locale) {
    if (frequency <= 0)
        return QStringLiteral("Timer resolution = unknown (no high-resolution counter)");
    return QLatin1String("Timer resolution = ") + fixed(1e9 / frequency, 1, locale) +
           QLatin1String("ns (") + fixed(frequency / 1e6, 1, locale, true) + QLatin1String("MHz)");
}
