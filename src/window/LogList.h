#pragma once

#include "LogRowPainter.h"

#include <QAbstractScrollArea>
#include <QList>
#include <QString>
#include <QStringList>

// The event log's list box: lines of text, oldest first, at most one of them selected, shown
// one line per row with the newest kept in view by whoever selects it. It looks and handles
// like the toolkit's list widget (rows drawn by the style, mouse and keyboard selection, wheel
// and scroll bars), but keeps its lines in a plain list: a device that streams messages adds
// one line and drops the oldest for each, and an item model with its view would lay out
// every row and rebuild its selection each time. Here adding, dropping and selecting cost
// next to nothing; the rows are only drawn when the window repaints.
class LogList : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit LogList(QWidget *parent = nullptr);

    void addItem(const QString &line);
    // Does nothing for an index outside the list.
    void removeItem(int index);
    void clear();

    int count() const { return int(m_lines.size()); }
    // The line at row, or an empty text outside the list.
    QString text(int row) const { return m_lines.value(row); }
    QStringList lines() const { return m_lines; }

    // The selected row, -1 when none is.
    int currentRow() const { return m_current; }
    // Selects row (-1, or any row outside the list, selects none) and scrolls it into view.
    void setCurrentRow(int row);

    // The first row shown at the top.
    int topRow() const;
    // Where row stands in the viewport; an empty rectangle outside the list.
    QRect visualRect(int row) const;
    // The row at a point of the viewport, -1 where there is none.
    int rowAt(const QPoint &point) const;
    int rowHeight() const;

    const LogRowPainter &rowPainter() const { return m_painter; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void ensureMeasured() const;
    void measureFont();
    int lineWidth(const QString &line) const;
    void updateScrollRanges();
    void scrollToRow(int row);
    int fullRows() const;
    QStyleOptionViewItem rowOption() const;

    QStringList m_lines;
    // The width of each line's row, in step with m_lines, and the widest of them.
    QList<int> m_widths;
    int m_widest = 0;
    int m_current = -1;
    bool m_measured = false;
    int m_rowHeight = 1;
    // A fixed-pitch font gives every printable ASCII character this advance; 0 otherwise.
    qreal m_charAdvance = 0;
    int m_textMargins = 0;
    LogRowPainter m_painter;
};
