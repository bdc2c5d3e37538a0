#include "WiringMap.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace {

ReadMap badLine(int line, const QString &text) {
    ReadMap read;
    read.badLine = line;
    read.error = QStringLiteral("line %1: %2").arg(QString::number(line), text);
    return read;
}

// A GPI number from 1 to gpis, or 0.
int gpiNumber(const QString &token, int gpis) {
    bool ok = false;
    const int number = token.toInt(&ok, 10);
    const bool digitsOnly = !token.isEmpty() && std::all_of(token.begin(), token.end(),
                                                            [](QChar c) { return c.isDigit(); });
    return ok && digitsOnly && number >= 1 && number <= gpis ? number : 0;
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
        const int output = gpiNumber(fields[0], gpis);
        const int input = gpiNumber(fields[1], gpis);
        // One arg() for both, so that a '%' in the field is shown as written.
        if (output == 0 || input == 0)
            return badLine(n, QStringLiteral("'%1' is not a GPI number from 1 to %2")
                                  .arg(output == 0 ? fields[0].left(20) : fields[1].left(20),
                                       QString::number(gpis)));
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
