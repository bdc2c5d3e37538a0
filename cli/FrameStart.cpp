#include "FrameStart.h"

namespace cli {

qsizetype findFrameStart(const QByteArray &bytes, qsizetype from, LoneFf loneFf) {
    const qsizetype header = bytes.indexOf(QByteArrayView("\xFF\x00", 2), from);
    if (header >= 0)
        return header;
    if (loneFf == LoneFf::Counts && from < bytes.size() && bytes.endsWith('\xFF'))
        return bytes.size() - 1;
    return bytes.size();
}

} // namespace cli
