#include "SocketErrors.h"

NetworkFailure networkFailureOf(const QString &description) {
    // Qt's own wording for the system's errors, the same on every platform.
    if (description.contains(QLatin1String("timed out"), Qt::CaseInsensitive))
        return NetworkFailure::TimedOut;
    if (description.contains(QLatin1String("Network unreachable"), Qt::CaseInsensitive))
        return NetworkFailure::NetworkUnreachable;
    if (description.contains(QLatin1String("unreachable"), Qt::CaseInsensitive))
        return NetworkFailure::HostUnreachable;
    return NetworkFailure::Other;
}
