#include "Stamps.h"

#include "platform/NumberFormat.h"

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

// Room for a prefix with long numbers in it, so that building it allocates once.
constexpr qsizetype PrefixCapacity = 40;

// The rightmost width characters of text; a negative width keeps it all.
QStringView rightmost(QStringView text, int width) {
    return width >= 0 && text.size() > width ? text.last(width) : text;
}

void appendSinceConnect(QString &text, double arrivalCount, double connectCount, double frequency,
                        int width, const QLocale &locale) {
    const FormattedNumber stamp(seconds(arrivalCount - connectCount, frequency), u"0.000", locale);
    // Right-aligned: blanks before a short number, a long one loses its leading digits.
    if (stamp.text().size() < width)
        text.resize(text.size() + width - stamp.text().size(), u' ');
    text += rightmost(stamp.text(), width);
}

FormattedNumber sincePrevious(double arrivalCount, double prevArrivalCount, double frequency,
                              const QLocale &locale) {
    return FormattedNumber(seconds(arrivalCount - prevArrivalCount, frequency), u" (0.000)",
                           locale);
}

} // namespace

QString SinceConnectStamp(double arrivalCount, double connectCount, double frequency, int width,
                          const QLocale &locale) {
    QString stamp;
    stamp.reserve(PrefixCapacity);
    appendSinceConnect(stamp, arrivalCount, connectCount, frequency, width, locale);
    return stamp;
}

QString SincePreviousStamp(double arrivalCount, double prevArrivalCount, double frequency,
                           const QLocale &locale) {
    return sincePrevious(arrivalCount, prevArrivalCount, frequency, locale).text().toString();
}

QString ResponseTimeStamp(double responseCount, double requestSentCount, double frequency,
                          const QLocale &locale) {
    return formatNumber(seconds((responseCount - requestSentCount) * 1000, frequency), u"(0.0mS)",
                        locale);
}

QString StandardPrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                       double frequency, const QLocale &locale) {
    QString prefix;
    prefix.reserve(PrefixCapacity);
    appendSinceConnect(prefix, arrivalCount, connectCount, frequency, 8, locale);
    prefix += rightmost(sincePrevious(arrivalCount, prevArrivalCount, frequency, locale).text(), 8);
    return prefix;
}

QString WidePrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                   double frequency, const QLocale &locale) {
    QString prefix;
    prefix.reserve(PrefixCapacity);
    appendSinceConnect(prefix, arrivalCount, connectCount, frequency, 9, locale);
    prefix += sincePrevious(arrivalCount, prevArrivalCount, frequency, locale).text();
    return prefix;
}

QString TimerResolutionLine(double frequency, const QLocale &locale) {
    if (frequency <= 0)
        return QStringLiteral("Timer resolution = unknown (no high-resolution counter)");
    QString line = QStringLiteral("Timer resolution =");
    line += FormattedNumber(1e9 / frequency, u" 0.0ns (", locale).text();
    line += FormattedNumber(frequency / 1e6, u"#,##0.0MHz)", locale).text();
    return line;
}
