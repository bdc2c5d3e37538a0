#include "LogRowPainter.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {

// The margin the common style leaves left and right of an item's text.
int textMargin(const QStyle *style, const QWidget *widget) {
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

QPalette::ColorGroup colourGroup(const QStyleOptionViewItem &option) {
    if (!(option.state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return option.state & QStyle::State_Active ? QPalette::Normal : QPalette::Inactive;
}

} // namespace

const QStaticText *LogRowPainter::laidOut(const QStyleOptionViewItem &option,
                                          const QPainter &painter) {
    const bool plainText = option.direction == Qt::LeftToRight && !option.text.isEmpty() &&
                           !option.text.contains(QChar::LineFeed);
    if (!plainText)
        return nullptr;
    if (option.font != m_font) {
        m_texts.clear();
        m_font = option.font;
    }
    QStaticText *text = m_texts.object(option.text);
    if (!text) {
        text = new QStaticText(option.text);
        text->setTextFormat(Qt::PlainText);
        text->setPerformanceHint(QStaticText::AggressiveCaching);
        text->prepare(painter.transform(), option.font);
        m_texts.insert(option.text, text);
    }
    return text;
}

void LogRowPainter::paint(QPainter &painter, const QStyleOptionViewItem &option) {
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = textMargin(style, widget);
    const QRect textRect = option.rect.adjusted(margin, 0, -margin, 0);
    const QStaticText *text = laidOut(option, painter);
    if (!text || text->size().width() > textRect.width()) {
        style->drawControl(QStyle::CE_ItemViewItem, &option, &painter, widget);
        return;
    }

    // As the common style draws an item view item, with the text from the kept layout.
    painter.save();
    painter.setClipRect(option.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &option, &painter, widget);
    const QPalette::ColorGroup group = colourGroup(option);
    painter.setPen(option.palette.color(
        group, option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter.setFont(option.font);
    const qreal top = textRect.top() + (textRect.height() - text->size().height()) / 2;
    painter.drawStaticText(QPointF(textRect.left(), top), *text);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = option.rect;
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = option.palette.color(
            option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
            option.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, widget);
    }
    painter.restore();
}
