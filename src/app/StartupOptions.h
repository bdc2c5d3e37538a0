#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class Tester;

// What the command line asks of the tester. Without options it starts as it always has.
struct StartupOptions {
    enum class Outcome {
        Run,          // start the window with the options below
        ShowHelp,     // print text on standard output, exit 0
        ShowVersion,  // the same
        ShowFullHelp, // Qt's own options too: showFullHelp()
        Fail,         // print text on standard error, exit 2
    };

    Outcome outcome = Outcome::Run;
    // Help, version, or the error followed by the usage.
    QString text;

    std::optional<QString> address;
    std::optional<QString> port;
    bool connect = false;
    std::optional<QString> record;
};

// Reads the arguments, program name first, as the application object leaves them.
StartupOptions parseStartupOptions(const QStringList &arguments);

// Prints the help with Qt's own options, as Qt does it, and exits with status 0.
[[noreturn]] void showFullHelp(const QStringList &arguments);

// Puts the address and port into their boxes as if typed there, the port box's check
// included, and with --connect presses Connect as soon as it can be pressed: once the window
// is shown and the first link-status tick has unlocked it.
void applyStartupOptions(const StartupOptions &options, Tester &tester);
