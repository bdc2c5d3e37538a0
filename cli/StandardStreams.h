#pragma once

#include <QString>

namespace cli {

// Writes text as it is (no line end added) to standard output or standard error, in the
// system's 8-bit encoding, and flushes it, so that it is out before the program goes on.
void writeOut(const QString &text);
void writeErr(const QString &text);

// "vorn-check: TEXT" and a line end on standard error, named after the application.
void complain(const QString &text);

// Whether standard output is a terminal, where progress and colour are welcome; a pipe or a
// file gets plain lines.
bool outputIsTerminal();

} // namespace cli
