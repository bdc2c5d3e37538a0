#pragma once

#include <QLocale>
#include <QString>

// Formats a number with a pattern such as "#,##0.0MHz)" or "   0.000": '0' is a digit that
// is always written, '#' one written only when needed, ',' between digit placeholders asks
// for grouping, '.' places the decimal symbol, and every other character stands as it is.
// Decimal and grouping symbols come from the locale.
QString formatNumber(double value, const QString &pattern, const QLocale &locale = QLocale());
