#pragma once

#include <QString>

// What a command-line program sets up about its process before anything else, and how it
// names the signal that stopped it: the ways of the system it runs on.

// Started with standard input, output or error closed, the next socket opened would take
// its place; something harmless holds it instead.
void holdStandardFiles();

// A closed pipe on standard output must not end the program.
void ignoreBrokenPipes();

// The short name of a quit signal QuitSignals gave ("INT", "TERM", ...).
QString quitSignalName(int number);
