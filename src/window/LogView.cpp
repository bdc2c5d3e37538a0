#include "LogView.h"

#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionViewItem>

#include <algorithm>

LogView::LogView(QWidget *parent) : QListView(parent) {
    setModel(&m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(&m_model, &LogModel::changePending, this, &LogView::wantPublish);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            &LogView::onCurrentChanged);
}

void LogView::addItem(const QString &line) {
    m_model.append(line);
}

void LogView::removeOldest(int count) {
    if (count <= 0)
        return;
    m_model.dropOldest(count);
    if (m_current >= 0) {
        m_current = m_current >= count ? m_current - count : -1;
        m_selectionPending = true;
    }
}

void LogView::clear() {
    m_model.clear();
    m_current = -1;
    m_selectionPending = true;
    wantPublish();
}

void LogView::setCurrentRow(int row) {
    m_current = row >= 0 && row < count() ? row : -1;
    m_selectionPending = true;
    wantPublish();
}

// Asked once per batch of changes: a stream of lines costs one request per frame.
void LogView::wantPublish() {
    if (m_publishWanted)
        return;
    m_publishWanted = true;
    emit publishWanted();
}

void LogView::publish() {
    m_publishWanted = false;
    m_publishing = true;
    const LogModel::Published change = m_model.publish();
    if (m_rowHeight == 0) {
        // Font or style changed, or nothing measured yet: every row again.
        m_widths.clear();
        if (m_model.rowCount() > 0) {
            measureRows();
            for (const QString &line : m_model.lines())
                m_widths.append(lineWidth(line));
        }
    } else {
        m_widths.remove(0, std::min<qsizetype>(change.removed, m_widths.size()));
        for (const QString &line : change.inserted)
            m_widths.append(lineWidth(line));
    }
    const int widest =
        m_widths.isEmpty() ? 0 : *std::max_element(m_widths.cbegin(), m_widths.cend());
    const QSize rowSize = m_rowHeight > 0 ? QSize(widest, m_rowHeight) : QSize();
    if (rowSize != m_model.rowSize()) {
        m_model.setRowSize(rowSize);
        scheduleDelayedItemsLayout();
    }
    if (m_selectionPending) {
        m_selectionPending = false;
        if (m_current >= 0) {
            const QModelIndex index = m_model.index(m_current);
            setCurrentIndex(index);
            scrollTo(index);
        } else {
            selectionModel()->clear();
        }
    }
    // The rows are laid out now rather than on the next turn of the event loop, so that the
    // paint that follows shows them.
    executeDelayedItemsLayout();
    m_publishing = false;
}

void LogView::onCurrentChanged(const QModelIndex &current) {
    // A person moved the selection with the mouse or the keys.
    if (!m_publishing)
        m_current = m_model.lineOfRow(current.row());
}

void LogView::measureRows() {
    // Rows are as high as the font's lines, as a list box's are, and as wide as the view's own
    // delegate makes them: the style's margins around the text.
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = QStringLiteral("X");
    const QSize size = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
    m_rowHeight = fontMetrics().height();
    m_textMargins = size.width() - fontMetrics().horizontalAdvance(option.text);
}

int LogView::lineWidth(const QString &line) const {
    return fontMetrics().horizontalAdvance(line) + m_textMargins;
}

void LogView::catchUp() {
    if (m_publishWanted)
        publish();
}

// A person acts on the lines as they are now: the view catches up first, so that a click, a key
// or the focus arriving (which makes the view pick a current row) never lands on a row that the
// log has already dropped.
void LogView::focusInEvent(QFocusEvent *event) {
    catchUp();
    QListView::focusInEvent(event);
}

void LogView::mousePressEvent(QMouseEvent *event) {
    catchUp();
    QListView::mousePressEvent(event);
}

void LogView::keyPressEvent(QKeyEvent *event) {
    catchUp();
    QListView::keyPressEvent(event);
}

void LogView::changeEvent(QEvent *event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        m_rowHeight = 0;
        wantPublish();
    }
}
