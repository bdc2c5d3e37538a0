#pragma once

#include <QLocale>
#include <QString>

// Joins the two halves of a counter reading, each taken as unsigned 32-bit.
double CounterAsDouble(qint32 low, qint32 high);

// Seconds since Connect, right-aligned in width characters (8 or 9); a longer number is
// written whole, so the stamp grows.
QString SinceConnectStamp(double arrivalCount, double connectCount, double frequency, int width,
                          const QLocale &locale = QLocale());

// " (D)" with the seconds since the previous arrival, uncut.
QString SincePreviousStamp(double arrivalCount, double prevArrivalCount, double frequency,
                           const QLocale &locale = QLocale());

// "(R mS)" with the milliseconds from the last request to this arrival.
QString ResponseTimeStamp(double responseCount, double requestSentCount, double frequency,
                          const QLocale &locale = QLocale());

// 16 characters: width-8 since-connect stamp and the rightmost 8 of the since-previous one,
// longer where either number needs more: no digit is cut.
QString StandardPrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                       double frequency, const QLocale &locale = QLocale());

// Width-9 since-connect stamp and the whole since-previous one.
QString WidePrefix(double arrivalCount, double connectCount, double prevArrivalCount,
                   double frequency, const QLocale &locale = QLocale());

// The start-up line that reports the counter's period and frequency.
QString TimerResolutionLine(double frequency, const QLocale &locale = QLocale());
