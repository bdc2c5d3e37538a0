#include "HexText.h"

namespace cli {

QString hexText(const QByteArray &bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString gpiBytesText(quint32 state) {
    const char bytes[] = {char(state & 0xFF), char((state >> 8) & 0xFF),
                          char((state >> 16) & 0xFF)};
    return hexText(QByteArray(bytes, sizeof bytes));
}

} // namespace cli
