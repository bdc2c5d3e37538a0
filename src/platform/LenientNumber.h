#pragma once

#include <QString>

// Reads the number at the start of a text the forgiving way: blanks, tabs and line feeds
// are skipped wherever they stand; a sign, decimal fraction and exponent (E or D) count;
// "&H" and "&O" (or a bare "&") prefixes read hexadecimal and octal; reading stops at the
// first character that cannot continue the number. A text without a number reads as 0.
double leadingNumber(const QString &text);
