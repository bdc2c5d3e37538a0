#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

// Formats a number with a pattern such as "#,##0.0MHz)" or "   0.000": '0' is a digit that
// is always written, '#' one written only when needed, ',' between digit placeholders asks
// for grouping, '.' places the decimal symbol, and every other character stands as it is.
// Decimal and grouping symbols come from the locale. Rounding is Qt's: halves go away from
// zero.
QString formatNumber(double value, QStringView pattern, const QLocale &locale = QLocale());

// The same text, held on the stack for a caller that places it in a string of its own: the
// log's stamps are written before the echo goes back to the device.
class FormattedNumber {
public:
    FormattedNumber(double value, QStringView pattern, const QLocale &locale = QLocale());

    QStringView text() const { return QStringView(m_text.constData(), m_text.size()); }

    // Room for the stamps and the usual patterns without going to the heap.
    using Buffer = QVarLengthArray<QChar, 48>;

private:
    Buffer m_text;
};
