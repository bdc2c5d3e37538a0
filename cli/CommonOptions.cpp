#include "CommonOptions.h"

#include <QCommandLineParser>
#include <QHostAddress>

namespace cli {

namespace {
// Long enough to recognise, short enough that a pasted file does not flood the terminal.
constexpr int ShownLength = 40;
} // namespace

QString unexpectedArgument(const QCommandLineParser &parser) {
    const QStringList arguments = parser.positionalArguments();
    if (arguments.isEmpty())
        return QString();
    return QStringLiteral("unexpected argument '%1'").arg(arguments.constFirst().left(ShownLength));
}

QString readAddress(const QCommandLineParser &parser, const QCommandLineOption &option,
                    QHostAddress *address) {
    const QString name = option.names().constLast();
    if (!parser.isSet(option))
        return QStringLiteral("--%1 is required, e.g. --%1 192.0.2.50").arg(name);
    if (!address->setAddress(parser.value(option)))
        return QStringLiteral("--%1: '%2' is not an IP address")
            .arg(name, parser.value(option).left(ShownLength));
    return QString();
}

QString readGpis(const QCommandLineParser &parser, const QCommandLineOption &option, int *gpis) {
    const QString text = parser.value(option);
    if (text != QLatin1String("8") && text != QLatin1String("24"))
        return QStringLiteral("--%1: '%2' is neither 8 nor 24")
            .arg(option.names().constLast(), text.left(ShownLength));
    *gpis = text.toInt();
    return QString();
}

} // namespace cli
