#include "WindowIcon.h"

#include <QImageReader>
#include <QPixmap>

namespace {

// Reads the picture as the XPM it is. A reader left to recognise the format asks every image
// format plugin installed whether it can read the file before it tries the formats Qt has
// built in, and so loads them all, with the libraries they need, at every start: that cost
// more than the rest of the icon.
QPixmap readXpm(const QString &path) {
    QImageReader reader(path, "xpm");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

} // namespace

QIcon loadWindowIcon(const QString &name) {
    QIcon icon;
    for (const int size : {16, 32})
        icon.addPixmap(readXpm(QStringLiteral(":/icons/%1-%2.xpm").arg(name).arg(size)));
    return icon;
}
