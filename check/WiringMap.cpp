#include "WiringMap.h"

#include "WholeNumber.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace {

ReadMap badLine(int line, const QString &text) {
    ReadMap read;
    read.badLine = line;
    read.error = QStringLiteral("line %1: %2").arg(QString::number(line), text);
    return read;
}

} // namespace

WiringMap StraightMap(int gpis) {
    WiringMap map;
    for (int i = 0; i < gpis; ++i)
        map.channels << Channel{i, i};
    return map;
}

ReadMap ParseWiringMap(const QByteArray &text, int gpis) {
    ReadMap read;
    QList<int> outputLine(gpis, 0); // the line that maps each output, 0 for none yet
    QList<int> inputLine(gpis, 0);
    const QList<QByteArray> lines = text.split('\n');
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (int n = 1; n <= lines.size(); ++n) {
        QString line = QString::fromUtf8(lines[n - 1]);
        line = line.left(line.indexOf(u'#')).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(blanks);
        if (fields.size() != 2)
            return badLine(n, QStringLiteral("expected OUTPUT INPUT, two GPI numbers, got '%1'")
                                  .arg(line.left(40)));
        const std::optional<int> outputNumber = cli::readWholeNumber(fields[0], 1, gpis);
        const std::optional<int> inputNumber = cli::readWholeNumber(fields[1], 1, gpis);
        if (!outputNumber)
            return badLine(n, cli::wholeNumberError(QStringLiteral("output"), fields[0], 1, gpis));
        if (!inputNumber)
            return badLine(n, cli::wholeNumberError(QStringLiteral("input"), fields[1], 1, gpis));
        const int output = *outputNumber;
        const int input = *inputNumber;
        if (outputLine[output - 1] != 0)
            return badLine(n, QStringLiteral("output %1 is already mapped on line %2")
                                  .arg(output)
                                  .arg(outputLine[output - 1]));
        if (inputLine[input - 1] != 0)
            return badLine(n, QStringLiteral("input %1 is already mapped on line %2")
                                  .arg(input)
                                  .arg(inputLine[input - 1]));
        outputLine[output - 1] = n;
        inputLine[input - 1] = n;
        read.map.channels << Channel{output - 1, input - 1};
    }
    if (read.map.channels.isEmpty()) {
        read.error = QStringLiteral("no OUTPUT INPUT pair in it");
        return read;
    }
    std::sort(read.map.channels.begin(), read.map.channels.end(),
              [](const Channel &a, const Channel &b) { return a.output < b.output; });
    return read;
}

ReadMap LoadWiringMap(const QString &path, int gpis) {
    QFile file(path);
    ReadMap read;
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return read;
    }
    const QByteArray text = file.read(MaxMapFileSize + 1);
    if (text.size() > MaxMapFileSize) {
        read.error = QStringLiteral("%1 is over %2 KiB, too big for a wiring map")
                         .arg(path)
                         .arg(MaxMapFileSize / 1024);
        return read;
    }
    read = ParseWiringMap(text, gpis);
    if (read.ok())
        read.map.source = QFileInfo(path).fileName();
    else
        read.error.prepend(path + (read.badLine > 0 ? QStringLiteral(", ") : QStringLiteral(": ")));
    return read;
}
