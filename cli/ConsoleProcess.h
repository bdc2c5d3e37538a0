#pragma once

namespace cli {

// What a command-line program sets up about its process before anything else: the ways of
// the system it runs on.

// Started with standard input, output or error closed, the next socket opened would take
// its place; something harmless holds it instead.
void holdStandardFiles();

// A closed pipe on standard output must not end the program.
void ignoreBrokenPipes();

} // namespace cli
