#include "RackFile.h"

#include "WholeNumber.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

// A unit id names its report file, so it keeps to the characters every file system takes.
bool isUnitId(const QString &text) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9_][A-Za-z0-9._-]{0,63}$"));
    return pattern.match(text).hasMatch();
}

// "ADDRESS", "ADDRESS:PORT" or "[IPV6]:PORT" into the box's settings; an error text, or empty.
QString readPlace(const QString &word, CheckSettings &settings) {
    QString address = word;
    QString port;
    if (word.startsWith(u'[')) {
        const qsizetype close = word.indexOf(u']');
        if (close < 0 || (close + 1 < word.size() && word.at(close + 1) != u':'))
            return QStringLiteral("'%1' is not ADDRESS[:PORT]").arg(word.left(60));
        address = word.mid(1, close - 1);
        port = close + 1 < word.size() ? word.mid(close + 2) : QString();
        if (close + 1 < word.size() && port.isEmpty())
            return QStringLiteral("'%1' has no port after the ':'").arg(word.left(60));
    } else if (word.count(u':') == 1) {
        address = word.section(u':', 0, 0);
        port = word.section(u':', 1);
    }
    if (!settings.address.setAddress(address))
        return QStringLiteral("'%1' is not an IP address").arg(address.left(60));
    if (!port.isNull()) {
        const std::optional<int> number = cli::readWholeNumber(port, 1, 65535);
        if (!number)
            return cli::wholeNumberError(QStringLiteral("port"), port, 1, 65535);
        settings.port = quint16(*number);
    }
    return QString();
}

} // namespace

ReadRack ParseRackFile(const QByteArray &text, const QString &folder) {
    ReadRack read;
    QSet<QString> places;
    QSet<QString> units;
    const QList<QByteArray> lines = text.split('\n');
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    for (int i = 0; i < lines.size(); ++i) {
        const int number = i + 1;
        const auto fail = [&](const QString &what) {
            read.boxes.clear();
            read.error = QStringLiteral("line %1: %2").arg(number).arg(what);
            return read;
        };
        const QString line = QString::fromUtf8(lines[i]).section(u'#', 0, 0);
        const QStringList words = line.split(blanks, Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        RackBox box;
        box.line = number;
        box.settings.port = 23;
        const QString placeError = readPlace(words.front(), box.settings);
        if (!placeError.isEmpty())
            return fail(placeError);
        QHash<QString, QString> fields;
        for (const QString &word : words.mid(1)) {
            const QString key = word.section(u'=', 0, 0);
            if (!word.contains(u'=') || !QStringList{"gpis", "map", "unit"}.contains(key))
                return fail(QStringLiteral("'%1' is none of gpis=8|24, map=FILE, unit=ID")
                                .arg(word.left(60)));
            if (fields.contains(key))
                return fail(QStringLiteral("%1= is given twice").arg(key));
            fields.insert(key, word.section(u'=', 1));
        }
        const QString gpis = fields.value(QStringLiteral("gpis"), QStringLiteral("24"));
        if (gpis != QLatin1String("8") && gpis != QLatin1String("24"))
            return fail(QStringLiteral("gpis: '%1' is neither 8 nor 24").arg(gpis.left(40)));
        box.settings.gpis = gpis.toInt();
        box.settings.map = StraightMap(box.settings.gpis);
        if (fields.contains(QStringLiteral("map"))) {
            const QString file = fields.value(QStringLiteral("map"));
            const ReadMap map = LoadWiringMap(file.isEmpty() ? file : QDir(folder).filePath(file),
                                              box.settings.gpis);
            if (!map.ok())
                return fail(QStringLiteral("map: ") + map.error);
            box.settings.map = map.map;
        }
        box.unitId = fields.value(QStringLiteral("unit"));
        if (fields.contains(QStringLiteral("unit")) && !isUnitId(box.unitId))
            return fail(QStringLiteral("unit: '%1' is not a unit id (up to 64 letters, digits, "
                                       "'.', '_' or '-')")
                            .arg(box.unitId.left(60)));
        const QString place = QStringLiteral("%1 port %2")
                                  .arg(box.settings.address.toString())
                                  .arg(box.settings.port);
        if (places.contains(place))
            return fail(QStringLiteral("%1 is in the rack already").arg(place));
        if (!box.unitId.isEmpty() && units.contains(box.unitId))
            return fail(QStringLiteral("unit %1 is in the rack already").arg(box.unitId));
        places.insert(place);
        units.insert(box.unitId);
        read.boxes << box;
    }
    if (read.boxes.isEmpty())
        read.error = QStringLiteral("no box in the rack");
    return read;
}

ReadRack LoadRackFile(const QString &path) {
    QFile file(path);
    ReadRack read;
    if (!file.open(QIODevice::ReadOnly)) {
        read.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return read;
    }
    if (file.size() > MaxRackFileSize) {
        read.error =
            QStringLiteral("%1: over %2 bytes; not a rack file").arg(path).arg(MaxRackFileSize);
        return read;
    }
    read = ParseRackFile(file.read(MaxRackFileSize + 1), QFileInfo(path).path());
    if (!read.ok())
        read.error = path + QStringLiteral(", ") + read.error;
    return read;
}
