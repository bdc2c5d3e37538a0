#include "LogItemDelegate.h"

#include <QApplication>
#include <QPainter>

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

const QStaticText *LogItemDelegate::laidOut(const QStyleOptionViewItem &option,
                                            const QPainter &painter) const {
    const bool plainText = option.features == QStyleOptionViewItem::HasDisplay &&
                           option.direction == Qt::LeftToRight &&
                           option.displayAlignment == (Qt::AlignLeft | Qt::AlignVCenter) &&
                           !option.text.isEmpty() && !option.text.contains(QChar::LineFeed);
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

void LogItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const int margin = textMargin(style, widget);
    const QRect textRect = opt.rect.adjusted(margin, 0, -margin, 0);
    const QStaticText *text = laidOut(opt, *painter);
    if (!text || text->size().width() > textRect.width()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }

    // As the common style draws an item view item, with the text from the kept layout.
    painter->save();
    painter->setClipRect(opt.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    const QPalette::ColorGroup group = colourGroup(opt);
    painter->setPen(opt.palette.color(
        group, opt.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(opt.font);
    const qreal top = textRect.top() + (textRect.height() - text->size().height()) / 2;
    painter->drawStaticText(QPointF(textRect.left(), top), *text);
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = opt.rect;
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = opt.palette.color(
            opt.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled,
            opt.state & QStyle::State_Selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}
