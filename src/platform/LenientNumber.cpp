#include "LenientNumber.h"

#include <QByteArray>

#include <limits>

namespace {

bool isSkipped(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// The text's characters with the skipped ones taken out, as they are read.
class Reader {
public:
    explicit Reader(const QString &text) : m_text(text) { skip(); }

    QChar peek() const { return m_pos < m_text.size() ? m_text[m_pos] : QChar(); }
    void next() {
        ++m_pos;
        skip();
    }

private:
    void skip() {
        while (m_pos < m_text.size() && isSkipped(m_text[m_pos]))
            ++m_pos;
    }

    const QString &m_text;
    int m_pos = 0;
};

int digitValue(QChar c, int radix) {
    int value = -1;
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        value = c.unicode() - '0';
    else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        value = c.unicode() - 'a' + 10;
    else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        value = c.unicode() - 'A' + 10;
    return value < radix ? value : -1;
}

// "&H" and "&O" numbers are whole numbers; like the classic reader, results that fit 16 or
// 32 bits are taken as signed numbers of that width.
double readRadix(Reader &reader, int radix) {
    double value = 0;
    for (int d = digitValue(reader.peek(), radix); d >= 0; d = digitValue(reader.peek(), radix)) {
        value = value * radix + d;
        reader.next();
    }
    if (value <= 0xFFFF)
        return value >= 0x8000 ? value - 0x10000 : value;
    if (value <= 0xFFFFFFFFu)
        return value >= 0x80000000u ? value - 4294967296.0 : value;
    return value;
}

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

double leadingNumber(const QString &text) {
    Reader reader(text);
    if (reader.peek() == QLatin1Char('&')) {
        reader.next();
        const QChar kind = reader.peek().toUpper();
        if (kind == QLatin1Char('H')) {
            reader.next();
            return readRadix(reader, 16);
        }
        if (kind == QLatin1Char('O'))
            reader.next();
        return readRadix(reader, 8);
    }

    QByteArray number;
    if (reader.peek() == QLatin1Char('+') || reader.peek() == QLatin1Char('-')) {
        number += char(reader.peek().unicode());
        reader.next();
    }
    bool anyDigit = false;
    while (isDigit(reader.peek())) {
        number += char(reader.peek().unicode());
        anyDigit = true;
        reader.next();
    }
    if (reader.peek() == QLatin1Char('.')) {
        number += '.';
        reader.next();
        while (isDigit(reader.peek())) {
            number += char(reader.peek().unicode());
            anyDigit = true;
            reader.next();
        }
    }
    if (!anyDigit)
        return 0;
    const QChar e = reader.peek().toUpper();
    if (e == QLatin1Char('E') || e == QLatin1Char('D')) {
        QByteArray exponent("e");
        reader.next();
        if (reader.peek() == QLatin1Char('+') || reader.peek() == QLatin1Char('-')) {
            exponent += char(reader.peek().unicode());
            reader.next();
        }
        bool anyExponentDigit = false;
        while (isDigit(reader.peek())) {
            exponent += char(reader.peek().unicode());
            anyExponentDigit = true;
            reader.next();
        }
        if (anyExponentDigit)
            number += exponent;
    }
    bool ok = false;
    const double value = number.toDouble(&ok);
    // toDouble refuses out-of-range numbers; they read as the largest magnitude instead.
    if (!ok)
        return number.startsWith('-') ? -std::numeric_limits<double>::max()
                                      : std::numeric_limits<double>::max();
    return value;
}
