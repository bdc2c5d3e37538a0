#pragma once

#include <QByteArray>

namespace cli {

enum class LoneFf {
    Ignored, // a lone FF at the end is not a frame start
    Counts,  // it is: the read may have cut the header FF 00 after it
};

// Where the next frame may begin at or after from: the first FF 00, or, with LoneFf::Counts,
// an FF that ends the bytes; otherwise the end of the bytes. Frames in both directions begin
// FF 00, so this is where a reader of either stream goes on after bytes it cannot use.
qsizetype findFrameStart(const QByteArray &bytes, qsizetype from, LoneFf loneFf);

} // namespace cli
