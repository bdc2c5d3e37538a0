// Lines typed at the simulator's console or given on its command line. Every line must end
// as a command within its documented ranges or as a short error text; bytes given as hex
// must come out exactly as written.

#include "FuzzCheck.h"
#include "SimCommand.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdint>

using sim::ParsedCommand;
using sim::SimCommand;

namespace {

void checkCommand(const ParsedCommand &parsed) {
    const SimCommand &c = parsed.command;
    if (!parsed.ok()) {
        // An error names what was wrong in a line or two, however long the input.
        FUZZ_CHECK(parsed.error.size() < 400);
        return;
    }
    switch (c.kind) {
    case SimCommand::SetInputs:
        FUZZ_CHECK(c.bits <= sim::AllOff);
        break;
    case SimCommand::SwitchInput:
        FUZZ_CHECK(!c.numbers.isEmpty());
        for (int index : c.numbers)
            FUZZ_CHECK(index >= 0 && index < 24);
        break;
    case SimCommand::ReportEvery:
    case SimCommand::SplitGap:
    case SimCommand::Delay:
        FUZZ_CHECK(c.value >= 0 && c.value <= sim::MaxMilliseconds);
        break;
    case SimCommand::Walk:
        FUZZ_CHECK(c.value >= 0 && c.value <= sim::MaxMilliseconds);
        FUZZ_CHECK(c.count >= 0 && c.count <= 24);
        break;
    case SimCommand::Split:
        FUZZ_CHECK(c.value >= 0 && c.value <= sim::MaxSendBytes);
        break;
    case SimCommand::Send:
        FUZZ_CHECK(!c.bytes.isEmpty() && c.bytes.size() <= sim::MaxSendBytes);
        break;
    default:
        break;
    }
}

void checkHex(const QStringList &tokens, int maxBytes) {
    const ParsedCommand parsed = sim::parseHexBytes(tokens, maxBytes);
    checkCommand(parsed);
    if (!parsed.ok())
        return;
    const QByteArray &bytes = parsed.command.bytes;
    FUZZ_CHECK(bytes.size() <= maxBytes);
    // What was accepted reads back the same when written out as hex again.
    const QString written = QString::fromLatin1(bytes.toHex(' '));
    const ParsedCommand again =
        sim::parseHexBytes(written.split(QLatin1Char(' ')), int(bytes.size()));
    FUZZ_CHECK(again.ok() && again.command.bytes == bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkCommand(sim::parseCommand(text));
    for (const QString &line : text.split(QLatin1Char('\n')))
        checkCommand(sim::parseCommand(line));

    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList tokens = text.split(blanks, Qt::SkipEmptyParts);
    checkHex(tokens, size > 0 ? data[0] % 16 : 0);
    checkHex(tokens, sim::MaxSendBytes);
    return 0;
}
