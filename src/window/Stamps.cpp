#include "Stamps.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include <QVarLengthArray>

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

// A stamp's text, put together in place: a log line's stamps cost one allocation, when the
// finished text is made, instead of one for every number, padding and parenthesis.
class StampText {
public:
    void append(char16_t c) { m_text.append(c); }
    void append(QStringView text) { m_text.append(text.utf16(), text.size()); }
    // The number with a fixed count of decimals in the locale's symbols, grouped or not,
    // right-aligned in width characters; a longer number is written whole.
    void appendFixed(double value, int decimals, const QLocale &locale, bool grouped = false,
                     int width = 0);
    qsizetype size() const { return m_text.size(); }
    QStringView view() const { return QStringView(m_text.constData(), m_text.size()); }
    QString toString() const { return view().toString(); }

private:
    bool appendPlain(double value, int decimals, QStringView point, int width);
    void pad(qsizetype length, int width) {
        for (; length < width; ++length)
            m_text.append(u' ');
    }

    QVarLengthArray<char16_t, 48> m_text;
};

// value rounded to `decimals` places as Qt rounds it, exactly, half away from zero, written
// with ASCII digits and the given decimal point; false when the value is not one this writer
// takes (negative, not finite, from 10^12 up, or a locale of other digits), which Qt writes.
// The stamps are written at every arrival, and Qt's general conversion costs half the
// handler's formatting.
bool StampText::appendPlain(double value, int decimals, QStringView point, int width) {
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
    char16_t digits[16];
    int length = 0;
    std::uint64_t whole = rounded / Scale[decimals];
    do {
        digits[length++] = char16_t(u'0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    pad(length + (decimals > 0 ? point.size() + decimals : 0), width);
    while (length > 0)
        m_text.append(digits[--length]);
    if (decimals > 0) {
        append(point);
        std::uint64_t part = rounded % Scale[decimals];
        for (std::uint64_t unit = Scale[decimals] / 10; unit > 0; unit /= 10) {
            m_text.append(char16_t(u'0' + part / unit));
            part %= unit;
        }
    }
    return true;
}

void StampText::appendFixed(double value, int decimals, const QLocale &locale, bool grouped,
                            int width) {
    const NumberSymbols &symbols = numberSymbols(locale, grouped);
    if (!grouped && symbols.asciiDigits &&
        appendPlain(value, decimals, symbols.decimalPoint, width))
        return;
    const QString text = symbols.locale.toString(value, 'f', decimals);
    pad(text.size(), width);
    append(text);
}

// The since-connect and since-previous stamps, each as its public function below writes it.
void appendSinceConnect(StampText &text, double arrivalCount, double connectCount, double frequency,
                        int width, const QLocale &locale) {
    text.appendFixed(seconds(arrivalCount - connectCount, frequency), 3, locale, false, width);
}

void appendSincePrevious(StampText &text, double arrivalCount, double prevArrivalCount,
                         double frequency, const QLocale &locale) {
    text.append(u" (");
    text.appendFixed(seconds(arrivalCount - prevArrivalCount, frequency), 3, locale);
    text.append(u')');
}

} // namespace

QString SinceConnectStamp(double arrivalCount, double connectCount, double frequency, int width,
                          const QLocale &locale) {
    StampText text;
    appendSinceConnect(text, arrivalCount, connectCount, frequency, width, locale);
    return text.toString();
}

QString SincePreviousStamp(double arrivalCount, double prevArrivalCount, double frequency,
                           const QLocale &locale) {
    StampText text;
    appendSincePrevious(text, arrivalCount, prevArrivalCount, frequency, locale);
    return text.toString();
}

QString ResponseTimeStamp(double responseCount, double requestSentCount, double frequency,
                          const QLocale &locale) {
    StampText text;
    text.append(u'(');
    text.appendFixed(seconds((responseCount - requestSentCount) * 1000, frequency), 1, locale);
    text.append(u"mS)");
    return text.toString();
}

QString StandardPrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                       double frequency, const QLocale &locale) {
    StampText text;
    appendSinceConnect(text, arrivalCount, connectCount, frequency, 8, locale);
    // The rightmost 8 characters of the since-previous stamp, but never fewer than all but its
    // first two: the cut may take the blank and the "(" before the number, never a digit; a
    // number too long for the field makes it wider.
    StampText previous;
    appendSincePrevious(previous, arrivalCount, prevArrivalCount, frequency, locale);
    text.append(previous.view().right(qMax(qsizetype(8), previous.size() - 2)));
    return text.toString();
}

QString WidePrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                   double frequency, const QLocale &locale) {
    StampText text;
    appendSinceConnect(text, arrivalCount, connectCount, frequency, 9, locale);
    appendSincePrevious(text, arrivalCount, prevArrivalCount, frequency, locale);
    return text.toString();
}

QString TimerResolutionLine(double frequency, const QLocale &locale) {
    if (frequency <= 0)
        return QStringLiteral("Timer resolution = unknown (no high-resolution counter)");
    StampText text;
    text.append(u"Timer resolution = ");
    text.appendFixed(1e9 / frequency, 1, locale);
    text.append(u"ns (");
    text.appendFixed(frequency / 1e6, 1, locale, true);
    text.append(u"MHz)");
    return text.toString();
}
