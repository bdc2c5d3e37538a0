#include "SimCommand.h"

#include <QRandomGenerator>
#include <QtTest>

using sim::ParsedCommand;
using sim::SimCommand;

namespace {

// The command in a short canonical form, or "error: ..." for a line not understood.
QString canonical(const ParsedCommand &parsed) {
    if (!parsed.ok())
        return QStringLiteral("error: ") + parsed.error;
    const SimCommand &c = parsed.command;
    const QString on = c.on ? QStringLiteral("on") : QStringLiteral("off");
    switch (c.kind) {
    case SimCommand::Nothing:
        return QStringLiteral("nothing");
    case SimCommand::Help:
        return QStringLiteral("help");
    case SimCommand::State:
        return QStringLiteral("state");
    case SimCommand::Quit:
        return QStringLiteral("quit");
    case SimCommand::SetInputs:
        return QStringLiteral("inputs:%1").arg(c.bits, 6, 16, QLatin1Char('0'));
    case SimCommand::SwitchInput: {
        QStringList indices;
        for (const int i : c.numbers)
            indices << QString::number(i);
        return QStringLiteral("in:%1:%2").arg(indices.join(u','), on);
    }
    case SimCommand::Report:
        return QStringLiteral("report");
    case SimCommand::ReportEvery:
        return QStringLiteral("report:%1").arg(c.value);
    case SimCommand::Walk:
        return QStringLiteral("walk:%1:%2").arg(c.value).arg(c.count);
    case SimCommand::Follow:
        return QStringLiteral("follow:") + on;
    case SimCommand::WireFaults:
        return QStringLiteral("wire-fault:") + sim::describeWiring(c.faults);
    case SimCommand::Loopback:
        return QStringLiteral("loopback:") + on;
    case SimCommand::Firmware:
        return QStringLiteral("fw:%1.%2").arg(c.major).arg(c.minor);
    case SimCommand::Send:
        return QStringLiteral("send:") + QString::fromLatin1(c.bytes.toHex());
    case SimCommand::Pace:
        return QStringLiteral("pace:%1").arg(c.value);
    case SimCommand::Split:
        return QStringLiteral("split:%1").arg(c.value);
    case SimCommand::SplitGap:
        return QStringLiteral("split-gap:%1").arg(c.value);
    case SimCommand::Coalesce:
        return QStringLiteral("coalesce");
    case SimCommand::Delay:
        return QStringLiteral("delay:%1").arg(c.value);
    case SimCommand::Garbage:
        return QStringLiteral("garbage");
    case SimCommand::Short:
        return QStringLiteral("short");
    case SimCommand::Close:
        return QStringLiteral("close");
    case SimCommand::Reset:
        return QStringLiteral("reset");
    case SimCommand::StopListening:
        return QStringLiteral("stop");
    case SimCommand::Listen:
        return QStringLiteral("listen");
    }
    return QStringLiteral("?");
}

void row(const char *name, const QString &line, const QString &expected) {
    QTest::newRow(name) << line << expected;
}

} // namespace

class tst_SimCommand : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void anyTextGivesCommandOrError();
};

void tst_SimCommand::parse_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    // Bare keywords, whose canonical form is the word itself.
    for (const char *word : {"help", "state", "quit", "report", "coalesce", "garbage", "short",
                             "close", "reset", "stop", "listen"})
        row(word, word, word);

    row("any case", "  STATE ", "state");
    row("blank", "   ", "nothing");
    row("comment", "# a note", "nothing");
    row("question mark", "?", "help");
    row("exit", "exit", "quit");
    row("quit with a word after it", "quit now", "error: quit: takes nothing after it");

    row("inputs, spaced", "inputs FE FF FF", "inputs:fffffe");
    row("inputs, packed lower case", "inputs feff7f", "inputs:7ffffe");
    row("inputs with 0x", "inputs 0xFE 0xFF 0xFF", "inputs:fffffe");
    row("inputs on", "inputs on", "inputs:000000");
    const QString inputsError = QStringLiteral(
        "error: inputs: expected three state bytes (active low, GPI 1 = lowest bit), e.g. "
        "inputs FE FF FF; or 'inputs on' / 'inputs off'");
    row("inputs, two bytes", "inputs FE FF", inputsError);
    row("inputs, four bytes", "inputs FEFFFFFF", inputsError);
    row("inputs off, any case", "inputs OFF", "inputs:ffffff");

    row("in 3 on", "in 3 on", "in:2:on");
    row("in range off", "in 1-8 off", "in:0,1,2,3,4,5,6,7:off");
    row("in list", "in 2,4 24 on", "in:1,3,23:on");
    const QString inError = QStringLiteral(
        "error: in: expected GPI numbers 1 to 24 and on/off, e.g. in 3 on, in 1-8 off");
    row("in 0", "in 0 on", inError);
    row("in 25", "in 25 on", inError);
    row("in backwards range", "in 8-1 on", inError);
    row("in without state", "in 3", inError);
    row("in without number", "in on", inError);

    row("report every", "report 1000", "report:1000");
    row("report off", "report off", "report:0");
    const QString reportError =
        QStringLiteral("error: report: expected milliseconds (1 to 3600000) or 'off'");
    row("report 0 is not a period", "report 0", reportError);
    row("report negative", "report -5", reportError);
    row("report huge", "report 99999999999999999999", reportError);
    row("walk", "walk 250", "walk:250:0");
    row("walk off", "walk off", "walk:0:0");
    row("walk over 8", "walk 250 8", "walk:250:8");
    row("walk over 25", "walk 250 25", "error: walk: the GPI count is 1 to 24, e.g. walk 500 8");

    row("follow on", "follow on", "follow:on");
    row("follow yes", "follow yes", "error: follow: say 'follow on' or 'follow off'");

    row("wire faults", "wire-fault cross:7,9 open:3 Short:5,6 stuck-on:24",
        "wire-fault:outputs 7 and 9 crossed, output 3 open, outputs 5 and 6 shorted, "
        "input 24 stuck on");
    row("wire faults cleared", "wire-fault clear", "wire-fault:straight");
    const QString wireError = QStringLiteral(
        "error: wire-fault: '%1': expected stuck-on:N, open:N, cross:A,B or short:A,B with GPI "
        "numbers 1 to 24, e.g. cross:7,9");
    row("wire fault, one of a pair", "wire-fault cross:7", wireError.arg("cross:7"));
    row("wire fault, pair for one", "wire-fault stuck-on:1,2", wireError.arg("stuck-on:1,2"));
    row("wire fault, GPI 25", "wire-fault open:25", wireError.arg("open:25"));
    row("wire fault, short to itself", "wire-fault short:5,5",
        wireError.arg("short:5,5") + " (two different GPIs)");

    row("fw 2.05", "fw 2.05", "fw:2.5");
    row("fw 255.255", "fw 255.255", "fw:255.255");
    const QString fwError =
        QStringLiteral("error: fw: expected MAJOR.MINOR, each 0 to 255, e.g. fw 2.05");
    row("fw 256.0", "fw 256.0", fwError);
    row("fw 2", "fw 2", fwError);
    row("fw 2.05.1", "fw 2.05.1", fwError);

    row("send spaced", "send FF 00 00 05 05 02", "send:ff0000050502");
    row("send mixed", "send ff0000 0x04 fe ffff", "send:ff000004feffff");
    row("send nothing", "send", "error: send: expected hex bytes, e.g. send FF 00 00 05 05 02");
    const QString badHex = QStringLiteral(
        "error: send: bad hex '%1': give bytes as pairs of hex digits, e.g. FF 00 00 04 FE FF FF");
    row("send odd digits", "send FF 0", badHex.arg("0"));
    row("send not hex", "send FF GG", badHex.arg("GG"));
    row("send bare 0x", "send 0x", badHex.arg("0x"));

    row("split", "split", "split:0");
    row("split at 2", "split 2", "split:2");
    row("split at 0", "split 0",
        "error: split: expected nothing (split in the middle) or the number of bytes in the "
        "first write, e.g. split 2");
    row("pace", "pace 30", "pace:30");
    row("pace off", "pace off", "pace:0");
    row("split gap", "split-gap 200", "split-gap:200");
    row("delay", "delay 100", "delay:100");
    row("delay off", "delay off", "delay:0");
    row("delay text", "delay soon", "error: delay: expected milliseconds (0 to 3600000) or 'off'");
    row("unknown", "jump 3", "error: unknown command 'jump'; type 'help' for the list");
    row("unknown, long name cut", QString(100, u'x'),
        QStringLiteral("error: unknown command '%1'; type 'help' for the list")
            .arg(QString(40, u'x')));
}

void tst_SimCommand::parse() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(canonical(sim::parseCommand(line)), expected);
}

void tst_SimCommand::anyTextGivesCommandOrError() {
    // Lines made of command words, numbers, hex and junk: each is a command or an error
    // with words in it, never a crash.
    const QStringList pieces = {
        "inputs", "in", "send", "walk", "fw",  "report", "split", "delay",       "on",  "off",
        "FF",     "00", "0x",   "-",    "1-8", ",",      "2.05",  "99999999999", "\t",  "\xc3\xa9",
        "#",      "?",  "",     "GG",   "-1",  "0",      "24",    "25",          "quit"};
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20000; ++round) {
        QString line;
        const int words = random.bounded(6);
        for (int w = 0; w < words; ++w) {
            line += QString::fromUtf8(pieces[random.bounded(int(pieces.size()))].toUtf8());
            line += random.bounded(3) == 0 ? QString() : QStringLiteral(" ");
        }
        if (random.bounded(10) == 0)
            line += QChar(char16_t(random.bounded(0x20, 0xD7FF)));
        const ParsedCommand parsed = sim::parseCommand(line);
        QVERIFY2(parsed.ok() || parsed.error.size() > 10, qPrintable(line));
        if (parsed.ok() && parsed.command.kind == SimCommand::Send)
            QVERIFY(!parsed.command.bytes.isEmpty());
    }
}

QTEST_GUILESS_MAIN(tst_SimCommand)
#include "tst_simcommand.moc"
