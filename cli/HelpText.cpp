#include "HelpText.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace cli {

QString helpText(const QCommandLineParser &parser) {
    QString text = parser.helpText();
    const QString usage = QStringLiteral("Usage: ");
    const QString startedAs = QCoreApplication::arguments().value(0);
    if (!startedAs.isEmpty() && text.startsWith(usage + startedAs))
        text.replace(usage.size(), startedAs.size(), QCoreApplication::applicationName());
    return text;
}

} // namespace cli
