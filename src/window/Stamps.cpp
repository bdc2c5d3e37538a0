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
} // namespace

QString SinceConnectStamp(double arrivalCount, double connectCount, double frequency, int width,
                          const QLocale &locale) {
    const QString pattern = QString(width - 5, QLatin1Char(' ')) + QLatin1String("0.000");
    return formatNumber(seconds(arrivalCount - connectCount, frequency), pattern, locale)
        .right(width);
}

QString SincePreviousStamp(double arrivalCount, double prevArrivalCount, double frequency,
                           const QLocale &locale) {
    return formatNumber(seconds(arrivalCount - prevArrivalCount, frequency),
                        QStringLiteral(" (0.000)"), locale);
}

QString ResponseTimeStamp(double responseCount, double requestSentCount, double frequency,
                          const QLocale &locale) {
    return formatNumber(seconds((responseCount - requestSentCount) * 1000, frequency),
                        QStringLiteral("(0.0mS)"), locale);
}

QString StandardPrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                       double frequency, const QLocale &locale) {
    return SinceConnectStamp(arrivalCount, connectCount, frequency, 8, locale) +
           SincePreviousStamp(arrivalCount, prevArrivalCount, frequency, locale).right(8);
}

QString WidePrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                   double frequency, const QLocale &locale) {
    return SinceConnectStamp(arrivalCount, connectCount, frequency, 9, locale) +
           SincePreviousStamp(arrivalCount, prevArrivalCount, frequency, locale);
}

QString TimerResolutionLine(double frequency, const QLocale &locale) {
    if (frequency <= 0)
        return QStringLiteral("Timer resolution = unknown (no high-resolution counter)");
    return QStringLiteral("Timer resolution =") +
           formatNumber(1e9 / frequency, QStringLiteral(" 0.0ns ("), locale) +
           formatNumber(frequency / 1e6, QStringLiteral("#,##0.0MHz)"), locale);
}
