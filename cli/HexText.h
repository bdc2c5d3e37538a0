#pragma once

#include <QByteArray>
#include <QString>

namespace cli {

// Bytes as the programs print them: pairs of upper-case hex digits with a blank between,
// "FF 00 00 04".
QString hexText(const QByteArray &bytes);

// The three GPI state bytes of a state (bit i for GPI index i, lowest byte first), as they
// go on the wire: 0xFFFFFE is "FE FF FF".
QString gpiBytesText(quint32 state);

} // namespace cli
