#include "SaveReport.h"

#include "StandardStreams.h"

#include <QSaveFile>

bool SaveReport(const QString &path, const QByteArray &bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    cli::complain(
        QStringLiteral("cannot write the report to %1: %2").arg(path, file.errorString()));
    return false;
}
