#include "LogList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>

namespace {

bool isPrintableAscii(const QString &text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7E; });
}

} // namespace

LogList::LogList(QWidget *parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setSingleStep(1);
}

void LogList::addItem(const QString &line) {
    const int width = lineWidth(line);
    m_lines.append(line);
    m_widths.append(width);
    m_widest = std::max(m_widest, width);
    updateScrollRanges();
    viewport()->update();
}

void LogList::removeItem(int index) {
    if (index < 0 || index >= count())
        return;
    m_lines.removeAt(index);
    const int width = m_widths.takeAt(index);
    if (width == m_widest)
        m_widest = m_widths.isEmpty() ? 0 : *std::max_element(m_widths.cbegin(), m_widths.cend());
    if (m_current == index)
        m_current = -1;
    else if (m_current > index)
        --m_current;
    updateScrollRanges();
    viewport()->update();
}

void LogList::clear() {
    m_lines.clear();
    m_widths.clear();
    m_widest = 0;
    m_current = -1;
    updateScrollRanges();
    viewport()->update();
}

void LogList::setCurrentRow(int row) {
    if (row < 0 || row >= count())
        row = -1;
    if (row != m_current) {
        // Only the rows that change their look need drawing again.
        viewport()->update(visualRect(m_current));
        viewport()->update(visualRect(row));
        m_current = row;
    }
    if (row >= 0)
        scrollToRow(row);
}

int LogList::topRow() const {
    return verticalScrollBar()->value();
}

QRect LogList::visualRect(int row) const {
    if (row < 0 || row >= count())
        return QRect();
    const int width = std::max(m_widest, viewport()->width());
    return QRect(-horizontalScrollBar()->value(), (row - topRow()) * rowHeight(), width,
                 rowHeight());
}

int LogList::rowAt(const QPoint &point) const {
    if (point.y() < 0)
        return -1;
    const int row = topRow() + point.y() / rowHeight();
    return row < count() ? row : -1;
}

int LogList::fullRows() const {
    return std::max(1, viewport()->height() / rowHeight());
}

void LogList::scrollToRow(int row) {
    const int top = topRow();
    if (row < top)
        verticalScrollBar()->setValue(row);
    else if (row >= top + fullRows())
        verticalScrollBar()->setValue(row - fullRows() + 1);
}

void LogList::updateScrollRanges() {
    // Scrolled a row at a time, as list boxes are, so the top row is always whole.
    const int rows = fullRows();
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setRange(0, std::max(0, count() - rows));
    const int width = viewport()->width();
    horizontalScrollBar()->setPageStep(width);
    horizontalScrollBar()->setSingleStep(m_charAdvance > 0 ? qCeil(m_charAdvance) : 8);
    horizontalScrollBar()->setRange(0, std::max(0, m_widest - width));
}

QStyleOptionViewItem LogList::rowOption() const {
    // As an item view describes its items to the style.
    QStyleOptionViewItem option;
    option.initFrom(this);
    option.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
    option.font = font();
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    option.decorationSize = QSize(icon, icon);
    option.decorationPosition = QStyleOptionViewItem::Left;
    option.decorationAlignment = Qt::AlignCenter;
    option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    option.textElideMode = Qt::ElideRight;
    option.showDecorationSelected =
        style()->styleHint(QStyle::SH_ItemView_ShowDecorationSelected, nullptr, this);
    option.locale = locale();
    option.locale.setNumberOptions(QLocale::OmitGroupSeparator);
    option.widget = this;
    option.features = QStyleOptionViewItem::HasDisplay;
    return option;
}

void LogList::ensureMeasured() const {
    // Measured when first needed: the font the log is made with is seldom the one it shows.
    if (!m_measured)
        const_cast<LogList *>(this)->measureFont();
}

int LogList::rowHeight() const {
    ensureMeasured();
    return m_rowHeight;
}

void LogList::measureFont() {
    m_measured = true;
    QStyleOptionViewItem sample = rowOption();
    sample.text = QStringLiteral("0");
    m_rowHeight = std::max(
        1, style()->sizeFromContents(QStyle::CT_ItemViewItem, &sample, QSize(), this).height());
    m_textMargins = 2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1);
    // Narrow, wide and kerned letters alike: a font that passes sizes lines by their length.
    const QFontMetricsF metrics(font());
    m_charAdvance = metrics.horizontalAdvance(QLatin1Char('0'));
    for (char c : {'i', 'W', ' ', '.', '('})
        if (!qFuzzyCompare(metrics.horizontalAdvance(QLatin1Char(c)), m_charAdvance))
            m_charAdvance = 0;
    if (!qFuzzyCompare(metrics.horizontalAdvance(QLatin1String("AVToWA")), 6 * m_charAdvance))
        m_charAdvance = 0;
    m_widest = 0;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        m_widths[i] = lineWidth(m_lines[i]);
        m_widest = std::max(m_widest, m_widths[i]);
    }
    updateScrollRanges();
}

int LogList::lineWidth(const QString &line) const {
    ensureMeasured();
    const int text = m_charAdvance > 0 && isPrintableAscii(line)
                         ? qCeil(line.size() * m_charAdvance)
                         : fontMetrics().horizontalAdvance(line);
    return text + m_textMargins;
}

void LogList::paintEvent(QPaintEvent *event) {
    QPainter painter(viewport());
    const QStyleOptionViewItem base = rowOption();
    const bool focus = hasFocus() || viewport()->hasFocus();
    const QRect area = event->rect();
    const int first = std::max(topRow(), rowAt(area.topLeft()));
    for (int row = first; row < count(); ++row) {
        const QRect rect = visualRect(row);
        if (rect.top() > area.bottom())
            break;
        QStyleOptionViewItem option = base;
        option.rect = rect;
        option.text = m_lines[row];
        option.palette.setCurrentColorGroup(
            option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled);
        if (row == m_current) {
            option.state |= QStyle::State_Selected;
            if (focus)
                option.state |= QStyle::State_HasFocus;
        }
        m_painter.paint(painter, option);
    }
}

void LogList::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRanges();
    // The selection made before the log was first shown is in view when it shows.
    if (m_current >= 0)
        scrollToRow(m_current);
}

void LogList::changeEvent(QEvent *event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_measured = false;
        if (count() > 0)
            measureFont();
        viewport()->update();
    }
}

void LogList::focusInEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update(visualRect(m_current));
}

void LogList::focusOutEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update(visualRect(m_current));
}

void LogList::mousePressEvent(QMouseEvent *event) {
    const int row = rowAt(event->position().toPoint());
    if (row >= 0)
        setCurrentRow(row);
    event->accept();
}

void LogList::mouseMoveEvent(QMouseEvent *event) {
    // Dragging with the button down moves the selection along, as in any list box.
    if (event->buttons() & Qt::LeftButton) {
        const int row = rowAt(event->position().toPoint());
        if (row >= 0)
            setCurrentRow(row);
    }
    event->accept();
}

void LogList::mouseReleaseEvent(QMouseEvent *event) {
    event->accept();
}

void LogList::keyPressEvent(QKeyEvent *event) {
    if (count() == 0) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    const int current = std::max(m_current, 0);
    const int page = std::max(1, fullRows() - 1);
    int row = -1;
    switch (event->key()) {
    case Qt::Key_Up:
        row = m_current < 0 ? 0 : current - 1;
        break;
    case Qt::Key_Down:
        row = m_current < 0 ? 0 : current + 1;
        break;
    case Qt::Key_PageUp:
        row = current - page;
        break;
    case Qt::Key_PageDown:
        row = current + page;
        break;
    case Qt::Key_Home:
        row = 0;
        break;
    case Qt::Key_End:
        row = count() - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    setCurrentRow(std::clamp(row, 0, count() - 1));
    event->accept();
}

void LogList::scrollContentsBy(int, int) {
    viewport()->update();
}
