#pragma once

#include <QRect>
#include <QString>

#include <vector>

// Form geometry is designed in twips, 15 to a logical pixel at 96 dpi; Qt's high-DPI
// scaling takes it from there.
constexpr int TwipsPerPixel = 15;
constexpr int twipsToPixels(int twips) {
    return (twips + (twips >= 0 ? TwipsPerPixel / 2 : -TwipsPerPixel / 2)) / TwipsPerPixel;
}

constexpr int ClientWidthTwips = 7440;
constexpr int ClientHeightTwips = 6855;

// One control's place on the window: its name ("GPI_Out(3)" for array members), rectangle
// in twips and design tab position.
struct LayoutEntry {
    QString name;
    int left;
    int top;
    int width;
    int height;
    int tabIndex;

    QRect pixels() const {
        return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                     twipsToPixels(height));
    }
};

// The whole window, in design tab order.
const std::vector<LayoutEntry> &layoutTable();
const LayoutEntry &layoutOf(const QString &name);

QString arrayName(const char *array, int index);
