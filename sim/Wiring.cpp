#include "Wiring.h"

#include <QRegularExpression>
#include <QStringList>

#include <array>

namespace sim {

namespace {

const char *const FaultNames[] = {"stuck-on", "open", "cross", "short"};

} // namespace

ParsedWireFault parseWireFault(const QString &text) {
    static const QRegularExpression pattern(
        QStringLiteral("^(stuck-on|open|cross|short):(\\d{1,2})(?:,(\\d{1,2}))?$"),
        QRegularExpression::CaseInsensitiveOption);
    ParsedWireFault parsed;
    const auto match = pattern.match(text.trimmed());
    const QString usage = QStringLiteral("expected stuck-on:N, open:N, cross:A,B or short:A,B "
                                         "with GPI numbers 1 to 24, e.g. cross:7,9");
    if (!match.hasMatch()) {
        parsed.error = QStringLiteral("'%1': %2").arg(text.left(40), usage);
        return parsed;
    }
    const QString name = match.captured(1).toLower();
    for (int kind = WireFault::StuckOn; kind <= WireFault::Short; ++kind) {
        if (name == QLatin1String(FaultNames[kind]))
            parsed.fault.kind = WireFault::Kind(kind);
    }
    const bool pair =
        parsed.fault.kind == WireFault::Cross || parsed.fault.kind == WireFault::Short;
    const int a = match.captured(2).toInt();
    const int b = match.captured(3).isEmpty() ? 0 : match.captured(3).toInt();
    if (pair != !match.captured(3).isEmpty() || a < 1 || a > 24 || (pair && (b < 1 || b > 24)) ||
        (pair && a == b)) {
        parsed.error =
            QStringLiteral("'%1': %2%3")
                .arg(text.left(40), usage,
                     pair && a == b ? QStringLiteral(" (two different GPIs)") : QString());
        return parsed;
    }
    parsed.fault.a = a - 1;
    parsed.fault.b = pair ? b - 1 : 0;
    return parsed;
}

QString describeWireFault(const WireFault &fault) {
    switch (fault.kind) {
    case WireFault::StuckOn:
        return QStringLiteral("input %1 stuck on").arg(fault.a + 1);
    case WireFault::Open:
        return QStringLiteral("output %1 open").arg(fault.a + 1);
    case WireFault::Cross:
        return QStringLiteral("outputs %1 and %2 crossed").arg(fault.a + 1).arg(fault.b + 1);
    case WireFault::Short:
        return QStringLiteral("outputs %1 and %2 shorted").arg(fault.a + 1).arg(fault.b + 1);
    }
    return QString();
}

QString describeWiring(const QList<WireFault> &faults) {
    if (faults.isEmpty())
        return QStringLiteral("straight");
    QStringList parts;
    for (const WireFault &fault : faults)
        parts << describeWireFault(fault);
    return parts.join(QStringLiteral(", "));
}

GpiBits wiredInputs(GpiBits outputs, const QList<WireFault> &faults) {
    // drives[i]: the inputs output i lights, one bit each (active high here).
    std::array<quint32, 24> drives{};
    for (int i = 0; i < 24; ++i)
        drives[i] = 1u << i;
    quint32 stuckOn = 0;
    for (const WireFault &fault : faults) {
        switch (fault.kind) {
        case WireFault::StuckOn:
            stuckOn |= 1u << fault.a;
            break;
        case WireFault::Open:
            drives[fault.a] = 0;
            break;
        case WireFault::Cross:
            std::swap(drives[fault.a], drives[fault.b]);
            break;
        case WireFault::Short:
            drives[fault.a] = drives[fault.b] = drives[fault.a] | drives[fault.b];
            break;
        }
    }
    quint32 on = stuckOn;
    for (int i = 0; i < 24; ++i) {
        if ((outputs & (1u << i)) == 0)
            on |= drives[i];
    }
    return ~on & AllOff;
}

} // namespace sim
