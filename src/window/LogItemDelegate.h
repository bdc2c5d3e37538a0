#pragma once

#include <QCache>
#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

// Draws the log's lines from their laid-out text, kept from one repaint to the next. Every
// new line moves all others up by one, so each repaint of the log draws every visible line
// again; laying out each line's text anew every time (the item views' way) was the larger
// part of what a device message cost. Lines are never edited, so a line's layout stays
// good for as long as the line is shown. The look is the item view's own: the style draws
// the background, selection and focus frame; a line too long for its row, or an item with
// anything but plain text, is drawn the usual way, elided as before.
class LogItemDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    // The list sizes all its rows by its first line and asks again after every change of the
    // log. In a fixed-pitch font a line of printable ASCII is as wide as any other of the same
    // length, so the size the style gave one such line is kept for all of them.
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Lines whose layout is kept.
    int cachedLines() const { return m_texts.count(); }

private:
    const QStaticText *laidOut(const QStyleOptionViewItem &option, const QPainter &painter) const;

    // The rows shown, several times over: lines leave it as they scroll out of the log.
    mutable QCache<QString, QStaticText> m_texts{256};
    mutable QFont m_font;
    mutable QHash<qsizetype, QSize> m_sizes;
    mutable QFont m_sizeFont;
    mutable bool m_fixedPitch = false;
};
