#include "NumberFormat.h"

#include <QByteArray>
#include <QLatin1String>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

// Stamps are formatted for every message before the echo goes back to the device, so this
// file stays off the heap where it can: the pattern is read through a view, the digits are
// written into buffers on the stack, and the locale's symbols are looked up once.

namespace {

bool isDigitPlaceholder(QChar c) {
    return c == u'0' || c == u'#';
}

// Where a pattern's number stands and how it is written.
struct NumberShape {
    qsizetype first = -1; // first character of the numeric section; -1 when there is none
    qsizetype end = 0;    // one past its last
    bool point = false;
    int decimals = 0;
    int minIntegerDigits = 0;
    bool grouping = false;
};

NumberShape readShape(QStringView pattern) {
    // The numeric section runs from the first to the last digit placeholder, with the
    // decimal point and grouping commas inside it.
    NumberShape shape;
    qsizetype last = -1;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (isDigitPlaceholder(pattern[i])) {
            if (shape.first < 0)
                shape.first = i;
            last = i;
        }
    }
    if (shape.first < 0)
        return shape;
    // A point straight after the last placeholder still belongs to the number.
    if (last + 1 < pattern.size() && pattern[last + 1] == u'.')
        ++last;
    shape.end = last + 1;

    // The first point splits the section; placeholders after it are decimals.
    for (QChar c : pattern.sliced(shape.first, shape.end - shape.first)) {
        if (shape.point)
            shape.decimals += isDigitPlaceholder(c) ? 1 : 0;
        else if (c == u'.')
            shape.point = true;
        else if (c == u'0')
            ++shape.minIntegerDigits;
        else if (c == u',')
            shape.grouping = true;
    }
    return shape;
}

// The symbols a locale writes numbers with. Asking a QLocale for them costs more than all
// the rest of a formatting, so each thread keeps those of the last locale it was given.
struct NumberSymbols {
    QString decimalPoint;
    QString groupSeparator;
    QString negativeSign;
};

const NumberSymbols &symbolsOf(const QLocale &locale) {
    thread_local QLocale cachedLocale = QLocale::c();
    thread_local NumberSymbols cached{cachedLocale.decimalPoint(), cachedLocale.groupSeparator(),
                                      cachedLocale.negativeSign()};
    if (locale != cachedLocale) {
        cachedLocale = locale;
        cached = {locale.decimalPoint(), locale.groupSeparator(), locale.negativeSign()};
    }
    return cached;
}

// Powers of ten that a double holds exactly.
constexpr std::array<double, 23> ExactPowersOfTen{1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Whether magnitude lies exactly halfway between two numbers with the given decimals.
bool isExactHalf(double magnitude, int decimals) {
    // Doubles from 2^53 up are whole numbers (this also turns NaN away).
    if (!(magnitude < 0x1p53))
        return false;
    const double scale = ExactPowersOfTen[std::size_t(decimals)];
    const double scaled = magnitude * scale;
    // scaled + error is magnitude * scale exactly.
    const double error = std::fma(magnitude, scale, -scaled);
    if (scaled < 0x1p52) {
        // Below 2^52 a rounding error is smaller than the spacing of halves, so an exact
        // half has no error at all.
        return error == 0 && scaled - std::floor(scaled) == 0.5;
    }
    // From 2^52 up scaled is whole and the half can only be in the error.
    return error - std::floor(error) == 0.5;
}

// A finite non-negative number rounded to the given decimals and written with '.' and
// without grouping, exactly as QString::number(magnitude, 'f', decimals) writes it.
class PlainDigits {
public:
    PlainDigits(double magnitude, int decimals) {
        const char *begin = m_buffer.data();
        const char *end = nullptr;
        // std::to_chars breaks an exact half towards the even digit where Qt rounds it up,
        // so Qt writes those; they are rare.
        if (std::size_t(decimals) < ExactPowersOfTen.size() && !isExactHalf(magnitude, decimals)) {
            const std::to_chars_result written =
                std::to_chars(m_buffer.data(), m_buffer.data() + m_buffer.size(), magnitude,
                              std::chars_format::fixed, decimals);
            if (written.ec == std::errc())
                end = written.ptr;
        }
        if (!end) {
            m_qtText = QByteArray::number(magnitude, 'f', decimals);
            begin = m_qtText.constData();
            end = begin + m_qtText.size();
        }
        const char *point = std::find(begin, end, '.');
        m_whole = QLatin1String(begin, point);
        if (point != end)
            m_fraction = QLatin1String(point + 1, end);
    }
    PlainDigits(const PlainDigits &) = delete;
    PlainDigits &operator=(const PlainDigits &) = delete;

    QLatin1String whole() const { return m_whole; }
    QLatin1String fraction() const { return m_fraction; }

    bool showsNonZeroDigit() const {
        const auto nonZero = [](char c) { return c >= '1' && c <= '9'; };
        return std::any_of(m_whole.begin(), m_whole.end(), nonZero) ||
               std::any_of(m_fraction.begin(), m_fraction.end(), nonZero);
    }

private:
    // The largest double has 309 digits before the point.
    std::array<char, 309 + 1 + ExactPowersOfTen.size()> m_buffer;
    QByteArray m_qtText;
    QLatin1String m_whole;
    QLatin1String m_fraction;
};

void append(FormattedNumber::Buffer &text, QStringView part) {
    text.append(part.data(), part.size());
}

void appendFinite(FormattedNumber::Buffer &text, double value, const NumberShape &shape,
                  const NumberSymbols &symbols) {
    const PlainDigits digits(std::fabs(value), shape.decimals);
    QLatin1String whole = digits.whole();
    if (whole == QLatin1String("0") && shape.minIntegerDigits == 0)
        whole = QLatin1String();
    const qsizetype zeros = qMax(qsizetype(0), shape.minIntegerDigits - whole.size());
    const qsizetype width = zeros + whole.size();
    const bool grouping = shape.grouping && !symbols.groupSeparator.isEmpty();

    // Only a number that still shows a non-zero digit carries its sign.
    if (value < 0 && digits.showsNonZeroDigit())
        append(text, symbols.negativeSign);
    // Padding zeros are grouped like any other digit.
    for (qsizetype i = 0; i < width; ++i) {
        if (grouping && i > 0 && (width - i) % 3 == 0)
            append(text, symbols.groupSeparator);
        text.append(i < zeros ? QLatin1Char('0') : whole[i - zeros]);
    }
    if (shape.point) {
        append(text, symbols.decimalPoint);
        for (char c : digits.fraction())
            text.append(QLatin1Char(c));
    }
}

} // namespace

FormattedNumber::FormattedNumber(double value, QStringView pattern, const QLocale &locale) {
    const NumberShape shape = readShape(pattern);
    if (shape.first < 0) {
        append(m_text, pattern);
        return;
    }
    const NumberSymbols &symbols = symbolsOf(locale);
    append(m_text, pattern.first(shape.first));
    if (std::isfinite(value)) {
        appendFinite(m_text, value, shape, symbols);
    } else {
        // Infinity and NaN have no digits to round, pad or group.
        if (value < 0)
            append(m_text, symbols.negativeSign);
        append(m_text, std::isnan(value) ? QStringView(u"nan") : QStringView(u"inf"));
    }
    append(m_text, pattern.sliced(shape.end));
}

QString formatNumber(double value, QStringView pattern, const QLocale &locale) {
    return FormattedNumber(value, pattern, locale).text().toString();
}
