#include "Stamps.h"

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

// The number with a fixed count of decimals in the locale's symbols, grouped or not.
QString fixed(double value, int decimals, const QLocale &locale, bool grouped = false) {
    QLocale symbols(locale);
    QLocale::NumberOptions options = symbols.numberOptions();
    options.setFlag(QLocale::OmitGroupSeparator, !grouped);
    symbols.setNumberOptions(options);
    return symbols.toString(value, 'f', decimals);
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
