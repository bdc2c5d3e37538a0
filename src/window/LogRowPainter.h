#pragma once

#include <QCache>
#include <QFont>
#include <QStaticText>
#include <QStyleOptionViewItem>

class QPainter;

// Draws the log's rows as the style draws an item view's items, with each line's text laid
// out once and kept from one repaint to the next. Every new line moves all others up by one,
// so each repaint of the log draws every visible line again; laying out each line's text anew
// every time (the item views' way) would be the larger part of what a device message costs.
// Lines are never edited, so a line's layout stays good for as long as the line is shown. A
// line too long for its row is drawn the style's usual way, elided.
class LogRowPainter {
public:
    // option: a row as an item view describes it, with its text, rectangle and state.
    void paint(QPainter &painter, const QStyleOptionViewItem &option);

    // Lines whose layout is kept.
    int keptLines() const { return m_texts.count(); }

private:
    const QStaticText *laidOut(const QStyleOptionViewItem &option, const QPainter &painter);

    // The rows shown, several times over: lines leave it as they scroll out of the log.
    QCache<QString, QStaticText> m_texts{256};
    QFont m_font;
};
