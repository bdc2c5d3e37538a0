#include "CheckOptions.h"

#include "CommonOptions.h"
#include "HelpText.h"
#include "WholeNumber.h"

#include <QCommandLineParser>

namespace {

struct Options : cli::BoxOptions {
    QCommandLineOption map{QStringLiteral("map"),
                           QStringLiteral("Wiring map: which input each output is looped back "
                                          "to (default straight: output N to input N)."),
                           QStringLiteral("FILE")};
    QCommandLineOption settle{QStringLiteral("settle"),
                              QStringLiteral("Time the inputs get to follow a change of the "
                                             "outputs, 0 to 60000 ms (default 50)."),
                              QStringLiteral("MS"), QStringLiteral("50")};
    QCommandLineOption timeout{QStringLiteral("timeout"),
                               QStringLiteral("Time to wait for the connection and for each "
                                              "answer, 1 to 600000 ms (default 1000)."),
                               QStringLiteral("MS"), QStringLiteral("1000")};
    QCommandLineOption report{QStringLiteral("report"),
                              QStringLiteral("Also write the report to FILE."),
                              QStringLiteral("FILE")};
    QCommandLineOption format{QStringLiteral("format"),
                              QStringLiteral("Format of the report files, or of standard output "
                                             "without --report: text, json or junit (JUnit "
                                             "XML; default text)."),
                              QStringLiteral("text|json|junit"), QStringLiteral("text")};
    QCommandLineOption unitId{QStringLiteral("unit-id"),
                              QStringLiteral("The unit's id (serial number) for the report."),
                              QStringLiteral("TEXT")};
    QCommandLineOption operatorName{QStringLiteral("operator"),
                                    QStringLiteral("Who makes the check, for the report."),
                                    QStringLiteral("TEXT")};
    QCommandLineOption rack{QStringLiteral("rack"),
                            QStringLiteral("Check every box listed in FILE, side by side, "
                                           "instead of one box (see Rack file below)."),
                            QStringLiteral("FILE")};
    QCommandLineOption jobs{QStringLiteral("jobs"),
                            QStringLiteral("With --rack: boxes checked at once, 1 to 1024 "
                                           "(default 16)."),
                            QStringLiteral("N"), QStringLiteral("16")};
    QCommandLineOption reportDir{QStringLiteral("report-dir"),
                                 QStringLiteral("With --rack: write one report per box into "
                                                "DIR, named by its unit id, else "
                                                "ADDRESS-PORT."),
                                 QStringLiteral("DIR")};

    void addTo(QCommandLineParser &parser) const {
        parser.setApplicationDescription(QStringLiteral(
            "Checks the wiring of a Vorn GPI box whose outputs are looped back to its "
            "inputs: every output alone must light exactly its own input, nothing may be "
            "stuck on or open, no two channels crossed or shorted. The box's outputs are put "
            "back as they were when the check ends, however it ends."));
        parser.addOptions({help, version, address, port, gpis, map, settle, timeout, report, format,
                           unitId, operatorName, rack, jobs, reportDir});
    }
};

const char Epilogue[] = R"(
Map file:
  One pair of GPI numbers per line, the output and the input it is looped back to,
  e.g. "7 9"; '#' starts a comment. Outputs not in the map are not checked.

Rack file:
  One box per line: ADDRESS[:PORT] [gpis=8|24] [map=FILE] [unit=ID], e.g.
  "192.0.2.50:23 gpis=8 map=harness.map unit=ZB-0417"; '#' starts a comment. The port is
  23, the GPIs 24 and the wiring straight unless the line says otherwise; map files are
  found from the rack file's folder. --settle, --timeout and --operator apply to every
  box. A line that cannot be read, or the same address and port twice, ends the program
  before any box is checked. One line per box is printed as it ends, then a summary
  ("126 pass, 1 fail, 1 not checked") with the boxes per minute; --report FILE writes
  one report of the whole rack (JSON: every box; JUnit: one test suite per box).

Report:
  Written whatever the outcome, also when the box could not be checked (with the reason
  and what became of its outputs). JSON carries a layout version, the unit id, operator,
  station (host name), address, port, firmware, start and end, settle and timeout, the
  map, the outcome (pass, fail or error) and its text, and the channels. JUnit XML has one
  test suite per box and one test case per channel, the verdict as the failure message,
  and an error test case for a box that could not be checked.
  Text: a header (address, port, firmware, date and time, map), one line per channel with its
  output, expected input, the time from the output change to the input report and the
  verdict, the time the check took, and a last line PASS or FAIL: N of M channels.
  Verdicts: OK; stuck on (the input is on with every output off); open (the input never
  follows its output); crossed (output 7 drives input 9); shorted (output 5 also drives
  input 6).

Exit status (with --rack, the worst of the boxes):
  0  every channel is wired right
  1  wiring faults (the report names them)
  2  the check could not be made: bad options or map, connection refused or closed, no
     answer in time, bytes from the box that begin no frame, interrupted (Ctrl+C,
     SIGTERM); the reason is on standard error

Examples:
  vorn-check --address 192.0.2.50
                      check a 24-GPI box wired straight
  vorn-check --address 192.0.2.50 --gpis 8 --map harness.map
                      check an 8-GPI box on a harness with a map of its own
  vorn-check --address 192.0.2.50 --report check.json --format json
                      keep the result as JSON too
  vorn-check --address 192.0.2.50 --unit-id ZB-0417 --report ZB-0417.xml --format junit
                      a JUnit record for the line's test-management system
  vorn-check --rack line3.rack --report-dir reports --report rack.json --format json
                      check a rack, a report per box and one of the whole rack
  vorn-check --address 127.0.0.1 --port 2323
                      try it without hardware against vorn-sim --wire-fault cross:7,9
)";

} // namespace

QString CheckHelpText() {
    QCommandLineParser parser;
    Options().addTo(parser);
    return cli::helpText(parser) + QString::fromUtf8(Epilogue);
}

ParsedOptions ParseCheckOptions(const QStringList &arguments) {
    QCommandLineParser parser;
    const Options o;
    o.addTo(parser);
    ParsedOptions parsed;
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

    CheckOptions &options = parsed.options;
    CheckSettings &settings = options.settings;
    QString error;
    if (parser.isSet(o.rack)) {
        for (const QCommandLineOption *single : {&o.address, &o.port, &o.gpis, &o.map, &o.unitId}) {
            if (parser.isSet(*single))
                return fail(
                    QStringLiteral("--%1 is given per box in the rack file, not with --rack")
                        .arg(single->names().constLast()));
        }
        const std::optional<int> jobs = cli::readOptionNumber(parser, o.jobs, 1, 1024, &error);
        if (!jobs)
            return fail(error);
        options.jobs = *jobs;
        options.reportDir = parser.value(o.reportDir);
        if (parser.isSet(o.reportDir) && options.reportDir.isEmpty())
            return fail(QStringLiteral("--report-dir: no folder given"));
    } else {
        for (const QCommandLineOption *rackOnly : {&o.jobs, &o.reportDir}) {
            if (parser.isSet(*rackOnly))
                return fail(
                    QStringLiteral("--%1 goes with --rack").arg(rackOnly->names().constLast()));
        }
        error = cli::readAddress(parser, o.address, &settings.address);
        if (!error.isEmpty())
            return fail(error);
    }
    options.label = {parser.value(o.unitId), parser.value(o.operatorName)};
    const std::optional<int> port = cli::readOptionNumber(parser, o.port, 1, 65535, &error);
    if (!port)
        return fail(error);
    settings.port = quint16(*port);
    error = cli::readGpis(parser, o.gpis, &settings.gpis);
    if (!error.isEmpty())
        return fail(error);
    const std::optional<int> settle = cli::readOptionNumber(parser, o.settle, 0, 60000, &error);
    if (!settle)
        return fail(error);
    const std::optional<int> timeout = cli::readOptionNumber(parser, o.timeout, 1, 600000, &error);
    if (!timeout)
        return fail(error);
    settings.settleMs = *settle;
    settings.timeoutMs = *timeout;
    const QString format = parser.value(o.format);
    if (format == QLatin1String("json"))
        options.format = ReportFormat::Json;
    else if (format == QLatin1String("junit"))
        options.format = ReportFormat::Junit;
    else if (format != QLatin1String("text"))
        return fail(
            QStringLiteral("--format: '%1' is none of text, json and junit").arg(format.left(40)));
    options.reportFile = parser.value(o.report);
    if (parser.isSet(o.report) && options.reportFile.isEmpty())
        return fail(QStringLiteral("--report: no file name given"));

    if (parser.isSet(o.rack)) {
        const ReadRack read = LoadRackFile(parser.value(o.rack));
        if (!read.ok())
            return fail(QStringLiteral("--rack: ") + read.error);
        options.rack = read.boxes;
        for (RackBox &box : options.rack) {
            box.settings.settleMs = settings.settleMs;
            box.settings.timeoutMs = settings.timeoutMs;
        }
        return parsed;
    }

    if (parser.isSet(o.map)) {
        const ReadMap read = LoadWiringMap(parser.value(o.map), settings.gpis);
        if (!read.ok())
            return fail(QStringLiteral("--map: ") + read.error);
        settings.map = read.map;
    } else {
        settings.map = StraightMap(settings.gpis);
    }
    return parsed;
}
