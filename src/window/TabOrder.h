#pragma once

#include <QList>
#include <QWidget>

// Keyboard tab order kept as positions, the way a form designer numbers them: moving a
// control to a position shifts the others, and the chain is applied to the widgets.
class TabOrder {
public:
    // Controls in their design order (position 0 first).
    void setDesignOrder(const QList<QWidget *> &controls);
    void moveTo(QWidget *control, int position);
    int positionOf(QWidget *control) const { return m_order.indexOf(control); }
    const QList<QWidget *> &order() const { return m_order; }
    void apply() const;

private:
    QList<QWidget *> m_order;
};
