#include "SimCommand.h"

#include "WholeNumber.h"

#include <QRegularExpression>
#include <QStringList>

namespace sim {

namespace {

ParsedCommand fail(const QString &text) {
    ParsedCommand parsed;
    parsed.error = text;
    return parsed;
}

ParsedCommand make(SimCommand::Kind kind) {
    ParsedCommand parsed;
    parsed.command.kind = kind;
    return parsed;
}

bool isWord(const QString &token, std::initializer_list<const char *> words) {
    for (const char *word : words) {
        if (token.compare(QLatin1String(word), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A whole number from min to max; anything else is -1 (callers keep min >= 0).
int number(const QString &token, int min, int max) {
    return cli::readWholeNumber(token, min, max).value_or(-1);
}

// on/off, or an error naming the command.
ParsedCommand onOff(SimCommand::Kind kind, const QStringList &args, const QString &name) {
    if (args.size() != 1 || !isWord(args[0], {"on", "off"}))
        return fail(QStringLiteral("%1: say '%1 on' or '%1 off'").arg(name));
    ParsedCommand parsed = make(kind);
    parsed.command.on = isWord(args[0], {"on"});
    return parsed;
}

// Milliseconds from min up to an hour, or off (0).
ParsedCommand periodCommand(SimCommand::Kind kind, const QStringList &args, const QString &name,
                            int min = 1) {
    const int ms = args.size() != 1           ? -1
                   : isWord(args[0], {"off"}) ? 0
                                              : number(args[0], min, MaxMilliseconds);
    if (ms < 0)
        return fail(QStringLiteral("%1: expected milliseconds (%2 to %3) or 'off'")
                        .arg(name)
                        .arg(min)
                        .arg(MaxMilliseconds));
    ParsedCommand parsed = make(kind);
    parsed.command.value = ms;
    return parsed;
}

// GPI numbers and ranges ("1", "3-5", "1,2") to indices.
bool gpiIndices(const QStringList &tokens, QList<int> &indices) {
    static const QRegularExpression range(QStringLiteral("^(\\d{1,2})(?:-(\\d{1,2}))?$"));
    for (const QString &token : tokens) {
        for (const QString &part : token.split(u',', Qt::SkipEmptyParts)) {
            const auto match = range.match(part);
            if (!match.hasMatch())
                return false;
            const int first = match.captured(1).toInt();
            const int last = match.captured(2).isEmpty() ? first : match.captured(2).toInt();
            if (first < 1 || last > 24 || first > last)
                return false;
            for (int n = first; n <= last; ++n)
                indices << n - 1;
        }
    }
    return !indices.isEmpty();
}

ParsedCommand firmware(const QStringList &args) {
    static const QRegularExpression version(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})$"));
    const auto match = args.size() == 1 ? version.match(args[0]) : QRegularExpressionMatch();
    const int major = match.hasMatch() ? match.captured(1).toInt() : -1;
    const int minor = match.hasMatch() ? match.captured(2).toInt() : -1;
    if (major < 0 || major > 255 || minor < 0 || minor > 255)
        return fail(QStringLiteral("fw: expected MAJOR.MINOR, each 0 to 255, e.g. fw 2.05"));
    ParsedCommand parsed = make(SimCommand::Firmware);
    parsed.command.major = quint8(major);
    parsed.command.minor = quint8(minor);
    return parsed;
}

} // namespace

ParsedCommand parseHexBytes(const QStringList &tokens, int maxBytes) {
    QByteArray bytes;
    for (const QString &given : tokens) {
        QString token = given;
        if (token.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
            token = token.mid(2);
        static const QRegularExpression nonHex(QStringLiteral("[^0-9A-Fa-f]"));
        if (token.isEmpty() || token.size() % 2 != 0 || token.contains(nonHex))
            return fail(QStringLiteral("bad hex '%1': give bytes as pairs of hex digits, "
                                       "e.g. FF 00 00 04 FE FF FF")
                            .arg(given.left(20)));
        if (bytes.size() + token.size() / 2 > maxBytes)
            return fail(QStringLiteral("too many bytes: at most %1").arg(maxBytes));
        bytes += QByteArray::fromHex(token.toLatin1());
    }
    if (bytes.isEmpty())
        return fail(QStringLiteral("no bytes given: e.g. FF 00 00 04 FE FF FF"));
    ParsedCommand parsed = make(SimCommand::Send);
    parsed.command.bytes = bytes;
    return parsed;
}

ParsedCommand parseCommand(const QString &line) {
    const QString text = line.trimmed();
    if (text.isEmpty() || text.startsWith(u'#'))
        return make(SimCommand::Nothing);
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    QStringList args = text.split(blanks, Qt::SkipEmptyParts);
    const QString name = args.takeFirst().toLower();

    const auto noArgs = [&](SimCommand::Kind kind) {
        return args.isEmpty() ? make(kind)
                              : fail(QStringLiteral("%1: takes nothing after it").arg(name));
    };

    if (isWord(name, {"help", "?", "h"}))
        return noArgs(SimCommand::Help);
    if (isWord(name, {"state", "show", "s"}))
        return noArgs(SimCommand::State);
    if (isWord(name, {"quit", "exit", "q"}))
        return noArgs(SimCommand::Quit);
    if (name == QLatin1String("inputs")) {
        if (args.size() == 1 && isWord(args[0], {"on", "off"})) {
            ParsedCommand parsed = make(SimCommand::SetInputs);
            parsed.command.bits = isWord(args[0], {"on"}) ? 0 : AllOff;
            return parsed;
        }
        const ParsedCommand hex = parseHexBytes(args, 3);
        if (!hex.ok() || hex.command.bytes.size() != 3)
            return fail(QStringLiteral("inputs: expected three state bytes (active low, "
                                       "GPI 1 = lowest bit), e.g. inputs FE FF FF; or "
                                       "'inputs on' / 'inputs off'"));
        ParsedCommand parsed = make(SimCommand::SetInputs);
        parsed.command.bits = gpiBitsAt(hex.command.bytes, 0);
        return parsed;
    }
    if (name == QLatin1String("in")) {
        ParsedCommand parsed = make(SimCommand::SwitchInput);
        const QString state = args.isEmpty() ? QString() : args.takeLast();
        if (!isWord(state, {"on", "off"}) || !gpiIndices(args, parsed.command.numbers))
            return fail(QStringLiteral("in: expected GPI numbers 1 to 24 and on/off, "
                                       "e.g. in 3 on, in 1-8 off"));
        parsed.command.on = isWord(state, {"on"});
        return parsed;
    }
    if (name == QLatin1String("report")) {
        if (args.isEmpty())
            return make(SimCommand::Report);
        return periodCommand(SimCommand::ReportEvery, args, name);
    }
    if (name == QLatin1String("walk")) {
        const int count = args.size() == 2 ? number(args[1], 1, 24) : 0;
        if (args.size() == 2 && count < 0)
            return fail(QStringLiteral("walk: the GPI count is 1 to 24, e.g. walk 500 8"));
        if (args.size() == 2)
            args.removeLast();
        ParsedCommand parsed = periodCommand(SimCommand::Walk, args, name);
        parsed.command.count = count;
        return parsed;
    }
    if (name == QLatin1String("follow"))
        return onOff(SimCommand::Follow, args, name);
    if (name == QLatin1String("wire-fault")) {
        ParsedCommand parsed = make(SimCommand::WireFaults);
        if (args.size() == 1 && isWord(args[0], {"clear", "off"}))
            return parsed;
        if (args.isEmpty())
            return fail(QStringLiteral("wire-fault: expected stuck-on:N, open:N, cross:A,B or "
                                       "short:A,B, or 'clear'"));
        for (const QString &arg : args) {
            const ParsedWireFault fault = parseWireFault(arg);
            if (!fault.ok())
                return fail(QStringLiteral("wire-fault: ") + fault.error);
            parsed.command.faults << fault.fault;
        }
        return parsed;
    }
    if (name == QLatin1String("loopback"))
        return onOff(SimCommand::Loopback, args, name);
    if (name == QLatin1String("fw"))
        return firmware(args);
    if (name == QLatin1String("send")) {
        if (args.isEmpty())
            return fail(QStringLiteral("send: expected hex bytes, e.g. send FF 00 00 05 05 02"));
        ParsedCommand parsed = parseHexBytes(args, MaxSendBytes);
        if (!parsed.ok())
            parsed.error.prepend(QStringLiteral("send: "));
        return parsed;
    }
    if (name == QLatin1String("pace"))
        return periodCommand(SimCommand::Pace, args, name, 0);
    if (name == QLatin1String("split")) {
        const int at = args.isEmpty() ? 0 : number(args[0], 1, MaxSendBytes);
        if (args.size() > 1 || at < 0)
            return fail(QStringLiteral("split: expected nothing (split in the middle) or the "
                                       "number of bytes in the first write, e.g. split 2"));
        ParsedCommand parsed = make(SimCommand::Split);
        parsed.command.value = at;
        return parsed;
    }
    if (name == QLatin1String("split-gap"))
        return periodCommand(SimCommand::SplitGap, args, name);
    if (name == QLatin1String("delay"))
        return periodCommand(SimCommand::Delay, args, name, 0);
    if (name == QLatin1String("coalesce"))
        return noArgs(SimCommand::Coalesce);
    if (name == QLatin1String("garbage"))
        return noArgs(SimCommand::Garbage);
    if (name == QLatin1String("short"))
        return noArgs(SimCommand::Short);
    if (name == QLatin1String("close"))
        return noArgs(SimCommand::Close);
    if (name == QLatin1String("reset"))
        return noArgs(SimCommand::Reset);
    if (name == QLatin1String("stop"))
        return noArgs(SimCommand::StopListening);
    if (name == QLatin1String("listen"))
        return noArgs(SimCommand::Listen);
    return fail(
        QStringLiteral("unknown command '%1'; type 'help' for the list").arg(name.left(40)));
}

} // namespace sim
