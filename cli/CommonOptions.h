#pragma once

#include <QCommandLineOption>
#include <QString>

class QCommandLineOption;
class QCommandLineParser;
class QHostAddress;

namespace cli {

// The options of every program that talks to a box, each with its one text: help, version,
// and the box's address, port (23) and GPIs (24).
struct BoxOptions {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and end.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and end.")};
    QCommandLineOption address{QStringLiteral("address"),
                               QStringLiteral("IP address of the box (required)."),
                               QStringLiteral("ADDR")};
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("TCP port of the box, 1 to 65535 (default 23)."),
                            QStringLiteral("N"), QStringLiteral("23")};
    QCommandLineOption gpis{QStringLiteral("gpis"),
                            QStringLiteral("GPIs of the box: 8 or 24 (default 24)."),
                            QStringLiteral("8|24"), QStringLiteral("24")};
};

// What every program's command line refuses alike. Each returns the error text, empty when
// there is nothing to refuse.

// An argument that is not an option: none of the programs takes one.
QString unexpectedArgument(const QCommandLineParser &parser);

// The box's IP address from an option that is required.
QString readAddress(const QCommandLineParser &parser, const QCommandLineOption &option,
                    QHostAddress *address);

// The box's GPIs: 8 or 24.
QString readGpis(const QCommandLineParser &parser, const QCommandLineOption &option, int *gpis);

} // namespace cli
