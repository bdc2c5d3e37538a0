#pragma once

#include "LogModel.h"

#include <QList>
#include <QListView>

// The event log's list box: a list view over the log's lines with at most one selected. The
// lines and the selection change at once when the program logs or selects; the view is
// brought up to date by publish(), which the window calls in the frame it paints next (asked
// for by publishWanted), so the log reaches the screen in the same frame as everything else
// that changed with it. Everything read through count(), text() and currentRow() is current.
class LogView : public QListView {
    Q_OBJECT

public:
    // About one screen refresh.
    static constexpr int FrameMs = 16;

    explicit LogView(QWidget *parent = nullptr);

    void addItem(const QString &line);
    // Drops the oldest count lines.
    void removeOldest(int count);
    void clear();

    int count() const { return m_model.count(); }
    // The line at row, or an empty text outside the log.
    QString text(int row) const { return m_model.text(row); }
    QStringList lines() const { return m_model.lines(); }

    // The selected line, -1 when none is.
    int currentRow() const { return m_current; }
    // Selects row (-1, or any row outside the log, selects none) and keeps it in view.
    void setCurrentRow(int row);

    // Brings the view up to date now, laid out for the next paint.
    void publish();
    // The same, when anything is waiting.
    void catchUp();

signals:
    // The first change since the last publish(): the view wants publishing with the next frame.
    void publishWanted();

protected:
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void wantPublish();
    void onCurrentChanged(const QModelIndex &current);
    int lineWidth(const QString &line) const;
    void measureRows();

    LogModel m_model;
    int m_current = -1;
    bool m_publishWanted = false;
    bool m_selectionPending = false;
    bool m_publishing = false;
    // Each published row's width in step with the model's rows; the rows are laid out at the
    // widest, so a line wider than the log brings a horizontal scroll bar instead of being cut.
    QList<int> m_widths;
    int m_rowHeight = 0;
    int m_textMargins = 0;
};
