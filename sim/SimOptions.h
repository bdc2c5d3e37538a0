#pragma once

#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

namespace sim {

// The options of vorn-sim, each with the text --help shows for it. Most are the command of
// the same name, given at start-up.
struct SimOptions {
    QCommandLineOption help;
    QCommandLineOption address;
    QCommandLineOption port;
    QCommandLineOption inputs;
    QCommandLineOption firmware;
    QCommandLineOption follow;
    QCommandLineOption wireFault;
    QCommandLineOption walk;
    QCommandLineOption walkCount;
    QCommandLineOption report;
    QCommandLineOption loopback;
    QCommandLineOption pace;
    QCommandLineOption delay;
    QCommandLineOption split;
    QCommandLineOption splitGap;
    QCommandLineOption coalesce;
    QCommandLineOption exec;
    QCommandLineOption onConnect;
    QCommandLineOption quiet;
    QCommandLineOption boxes;
    QCommandLineOption bounce;

    SimOptions();
    QList<QCommandLineOption> all() const;
    // The description and every option.
    void addTo(QCommandLineParser &parser) const;
};

// What `vorn-sim --help` and the `help` command print: the options from the parser, then the
// commands and what the device does with each frame.
QString helpText();

} // namespace sim
