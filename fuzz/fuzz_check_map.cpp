// Wiring map files as an operator writes them. Every text ends either as a map of GPI numbers
// in range with each output and each input used once, or as an error on a line that the text
// has: the lines before it are fine and the text cut after it fails there the same way.

#include "FuzzCheck.h"
#include "WiringMap.h"

#include <QSet>

#include <cstdint>

namespace {

void checkMap(const WiringMap &map, int gpis) {
    FUZZ_CHECK(!map.channels.isEmpty() && map.channels.size() <= gpis);
    QSet<int> inputs;
    int previous = -1;
    for (const Channel &c : map.channels) {
        FUZZ_CHECK(c.output > previous && c.output < gpis);
        FUZZ_CHECK(c.input >= 0 && c.input < gpis && !inputs.contains(c.input));
        previous = c.output;
        inputs << c.input;
    }
    // Written out again as pairs, the map reads back the same.
    QByteArray text;
    for (const Channel &c : map.channels)
        text += QByteArray::number(c.output + 1) + ' ' + QByteArray::number(c.input + 1) + '\n';
    const ReadMap again = ParseWiringMap(text, gpis);
    FUZZ_CHECK(again.ok() && again.map.channels == map.channels);
}

void checkBadLine(const ReadMap &read, const QList<QByteArray> &lines, int gpis) {
    FUZZ_CHECK(read.badLine >= 1 && read.badLine <= lines.size());
    FUZZ_CHECK(read.error.startsWith(QStringLiteral("line %1: ").arg(read.badLine)));
    // A piece of the line quoted in the error comes from that line.
    const qsizetype open = read.error.indexOf(u'\'');
    const qsizetype close = read.error.lastIndexOf(u'\'');
    if (open >= 0 && close > open) {
        const QString quoted = read.error.mid(open + 1, close - open - 1);
        FUZZ_CHECK(QString::fromUtf8(lines[read.badLine - 1]).contains(quoted));
    }
    const ReadMap before = ParseWiringMap(lines.mid(0, read.badLine - 1).join('\n'), gpis);
    FUZZ_CHECK(before.badLine == 0);
    const ReadMap upTo = ParseWiringMap(lines.mid(0, read.badLine).join('\n'), gpis);
    FUZZ_CHECK(upTo.badLine == read.badLine && upTo.error == read.error);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the box: 8 or 24 GPIs.
    const int gpis = data[0] & 1 ? 24 : 8;
    const QByteArray text(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const ReadMap read = ParseWiringMap(text, gpis);
    if (read.ok()) {
        FUZZ_CHECK(read.badLine == 0);
        checkMap(read.map, gpis);
        return 0;
    }
    FUZZ_CHECK(read.error.size() < 200);
    if (read.badLine > 0) {
        checkBadLine(read, text.split('\n'), gpis);
        return 0;
    }
    // No line at fault means no pair at all: one more line with a pair makes it a map.
    const ReadMap added = ParseWiringMap(text + "\n1 1", gpis);
    FUZZ_CHECK(added.ok() && (added.map.channels == QList<Channel>{{0, 0}}));
    return 0;
}
