#include "LogItemDelegate.h"

#include <QApplication>
#include <QFontInfo>
#include <QPainter>

namespace {

// The margin the common style leaves left and right of an item's text.
int textMargin(const QStyle *style, const QWidget *widget) {
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}

bool isPrintableAscii(const QString &text) {
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    return true;
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

QSize LogItemDelegate::sizeHint(const QStyleOptionViewItem &option,
                                const QModelIndex &index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const auto styleSize = [style, widget](const QStyleOptionViewItem &item) {
        return style->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), widget);
    };
    if (opt.font != m_sizeFont) {
        m_sizes.clear();
        m_sizeFont = opt.font;
        // Lines of narrow, wide and kerned letters must all come out the same width.
        QSize first;
        m_fixedPitch = true;
        for (const char *probe : {"iiiiiiii", "WWWWWWWW", "AVAVToTo", "  1.5 (_"}) {
            QStyleOptionViewItem sample = opt;
            sample.text = QLatin1String(probe);
            const QSize size = styleSize(sample);
            m_fixedPitch = m_fixedPitch && (first.isEmpty() || size == first);
            first = size;
        }
    }
    const bool sameWidthPerLength = m_fixedPitch &&
                                    opt.features == QStyleOptionViewItem::HasDisplay &&
                                    isPrintableAscii(opt.text);
    if (!sameWidthPerLength)
        return styleSize(opt);
    const auto kept = m_sizes.constFind(opt.text.size());
    if (kept != m_sizes.constEnd())
        return *kept;
    const QSize size = styleSize(opt);
    m_sizes.insert(opt.text.size(), size);
    return size;
}
