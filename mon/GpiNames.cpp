#include "GpiNames.h"

#include "WholeNumber.h"

#include <QFile>

ReadNames ParseGpiNames(const QString &text, int gpis) {
    ReadNames read;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).section(u'#', 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QString where = QStringLiteral("line %1").arg(i + 1);
        const QString number = line.section(u' ', 0, 0, QString::SectionSkipEmpty);
        const QString name = line.mid(number.size()).trimmed();
        const std::optional<int> gpi = cli::readWholeNumber(number, 1, gpis);
        if (!gpi) {
            read.error = cli::wholeNumberError(where, number, 1, gpis);
            return read;
        }
        if (name.isEmpty()) {
            read.error = QStringLiteral("%1: GPI %2 has no name").arg(where, number);
            return read;
        }
        if (read.names.contains(*gpi)) {
            read.error = QStringLiteral("%1: GPI %2 is named twice").arg(where).arg(*gpi);
            return read;
        }
        read.names.insert(*gpi, name);
    }
    return read;
}

ReadNames LoadGpiNames(const QString &path, int gpis) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        ReadNames read;
        read.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return read;
    }
    ReadNames read = ParseGpiNames(QString::fromUtf8(file.readAll()), gpis);
    if (!read.ok())
        read.error = path + QStringLiteral(", ") + read.error;
    return read;
}
