#include "MonOptions.h"

#include "CommonOptions.h"
#include "HelpText.h"
#include "WholeNumber.h"

#include <QCommandLineParser>

namespace {

struct Options : cli::BoxOptions {
    QCommandLineOption names{QStringLiteral("names"),
                             QStringLiteral("Names of the GPIs: one per line, the number and "
                                            "the name, e.g. \"7 Studio A on-air\"."),
                             QStringLiteral("FILE")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("text (default), or json: one JSON object per "
                                             "line."),
                              QStringLiteral("text|json"), QStringLiteral("text")};
    QCommandLineOption outputs{QStringLiteral("outputs"),
                               QStringLiteral("Watch the outputs too; they are asked for once "
                                              "a second.")};
    QCommandLineOption serial{QStringLiteral("serial"),
                              QStringLiteral("Show serial input from the box's ports.")};
    QCommandLineOption minPulse{QStringLiteral("min-pulse"),
                                QStringLiteral("Mark pulses shorter than MS milliseconds as "
                                               "short (bounces, glitches), 1 to 600000."),
                                QStringLiteral("MS")};
    QCommandLineOption heartbeat{QStringLiteral("heartbeat"),
                                 QStringLiteral("Print the state again after S seconds without "
                                                "a change, 1 to 86400."),
                                 QStringLiteral("S")};
    QCommandLineOption reconnect{QStringLiteral("reconnect"),
                                 QStringLiteral("When the link is lost, connect again (after "
                                                "1, 2, 4 ... 30 s) instead of ending.")};
    QCommandLineOption duration{QStringLiteral("duration"),
                                QStringLiteral("End after S seconds, 1 to 31536000."),
                                QStringLiteral("S")};
    QCommandLineOption count{QStringLiteral("count"),
                             QStringLiteral("End after N edges, 1 to 2000000000."),
                             QStringLiteral("N")};
    QCommandLineOption vcd{QStringLiteral("vcd"),
                           QStringLiteral("Also write the lines to FILE as a Value Change "
                                          "Dump, for PulseView or GTKWave."),
                           QStringLiteral("FILE")};

    void addTo(QCommandLineParser &parser) const {
        parser.setApplicationDescription(QStringLiteral(
            "Watches a Vorn GPI box without changing it: prints its state, then one line for "
            "every GPI that changes, with the time to the millisecond, its name, on or off, "
            "how long it was in its previous state and its edge count, and a summary at the "
            "end. It only ever asks the box for its inputs, outputs and firmware."));
        parser.addOptions({help, version, address, port, gpis, names, format, outputs, serial,
                           minPulse, heartbeat, reconnect, duration, count, vcd});
    }
};

const char Epilogue[] = R"(
Lines (text):
  TIME state firmware 2.05, 24 inputs, on: 3 7
  TIME input 7 Studio A on-air on, off 2.350 s, edge 1
  TIME input 3 off, on 4.0 ms, edge 2 short (under 20 ms)
  TIME link lost: the box closed the connection; trying again in 1 s
  TIME link back after 3 s
  TIME summary: ... and one line per GPI that moved
  TIME is local, with milliseconds and the offset from UTC. The first edge of a line
  says ">=": its previous state began before the monitor started. A pulse shorter than
  the box's own reporting is not seen at all.

Names file:
  One GPI per line, its number and its name, e.g. "7 Studio A on-air"; '#' starts a
  comment. The names are used for the inputs and the outputs of that number.

Exit status:
  0  ended normally: Ctrl+C, SIGTERM, --duration or --count
  2  bad options or names file, the box could not be reached, or the link was lost
     without --reconnect; the reason is on standard error

Examples:
  vorn-mon --address 192.0.2.50 --names studio.names
                      watch a 24-GPI box, lines named
  vorn-mon --address 192.0.2.50 --format json | jq .
                      JSON lines, live
  vorn-mon --address 192.0.2.50 --min-pulse 20 --vcd run.vcd --reconnect
                      mark bounces, keep a timeline, ride out a lost link
  vorn-mon --address 127.0.0.1 --port 2323
                      try it without hardware against vorn-sim --walk 500
)";

} // namespace

QString MonHelpText() {
    QCommandLineParser parser;
    Options().addTo(parser);
    return cli::helpText(parser) + QString::fromUtf8(Epilogue);
}

ParsedMonOptions ParseMonOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    const Options o;
    o.addTo(parser);
    ParsedMonOptions parsed;
    const auto fail = [&](const QString &text) {
        parsed.error = text;
        return parsed;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    parsed.help = parser.isSet(o.help);
    parsed.version = parser.isSet(o.version);
    if (parsed.help || parsed.version)
        return parsed;
    if (const QString error = cli::unexpectedArgument(parser); !error.isEmpty())
        return fail(error);

    MonSettings &settings = parsed.options.settings;
    QString error = cli::readAddress(parser, o.address, &settings.address);
    if (!error.isEmpty())
        return fail(error);
    const std::optional<int> port = cli::readOptionNumber(parser, o.port, 1, 65535, &error);
    if (!port)
        return fail(error);
    settings.port = quint16(*port);
    error = cli::readGpis(parser, o.gpis, &settings.gpis);
    if (!error.isEmpty())
        return fail(error);
    // Optional numbers: 0 when not given.
    const auto number = [&](const QCommandLineOption &option, int max, int *into) {
        if (!parser.isSet(option))
            return true;
        const std::optional<int> value = cli::readOptionNumber(parser, option, 1, max, &error);
        *into = value.value_or(0);
        return value.has_value();
    };
    if (!number(o.minPulse, 600000, &settings.minPulseMs) ||
        !number(o.heartbeat, 86400, &settings.heartbeatS) ||
        !number(o.duration, 31536000, &settings.durationS) ||
        !number(o.count, 2000000000, &settings.count))
        return fail(error);
    const QString format = parser.value(o.format);
    if (format != QLatin1String("text") && format != QLatin1String("json"))
        return fail(QStringLiteral("--format: '%1' is neither text nor json").arg(format.left(40)));
    parsed.options.json = format == QLatin1String("json");
    settings.outputs = parser.isSet(o.outputs);
    settings.serial = parser.isSet(o.serial);
    settings.reconnect = parser.isSet(o.reconnect);
    parsed.options.vcdFile = parser.value(o.vcd);
    if (parser.isSet(o.vcd) && parsed.options.vcdFile.isEmpty())
        return fail(QStringLiteral("--vcd: no file name given"));
    if (parser.isSet(o.names)) {
        const ReadNames read = LoadGpiNames(parser.value(o.names), settings.gpis);
        if (!read.ok())
            return fail(QStringLiteral("--names: ") + read.error);
        settings.names = read.names;
    }
    return parsed;
}
