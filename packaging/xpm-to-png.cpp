// Build-time tool: converts one of the window icons (XPM) into the PNG that the icon theme
// wants, and refuses an icon whose size is not the one it is installed as.
//   vorn-xpm-to-png INPUT.xpm OUTPUT.png SIZE

#include <QImage>
#include <QString>

#include <cstdio>

int main(int argc, char *argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s INPUT.xpm OUTPUT.png SIZE\n", argv[0]);
        return 2;
    }
    const QString input = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    bool sizeOk = false;
    const int size = QString::fromLocal8Bit(argv[3]).toInt(&sizeOk);

    const QImage image(input, "XPM");
    if (image.isNull()) {
        std::fprintf(stderr, "%s: cannot read as XPM\n", argv[1]);
        return 1;
    }
    if (!sizeOk || image.width() != size || image.height() != size) {
        std::fprintf(stderr, "%s: is %dx%d, expected %dx%d\n", argv[1], image.width(),
                     image.height(), size, size);
        return 1;
    }
    if (!image.convertToFormat(QImage::Format_ARGB32).save(output, "PNG")) {
        std::fprintf(stderr, "%s: cannot write\n", argv[2]);
        return 1;
    }
    return 0;
}
