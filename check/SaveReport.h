#pragma once

#include <QByteArray>
#include <QString>

// Writes a report file whole or not at all (a report cut short is worse than none); false,
// and the reason on standard error, when it could not be written.
bool SaveReport(const QString &path, const QByteArray &bytes);
