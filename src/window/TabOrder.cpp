#include "TabOrder.h"

void TabOrder::setDesignOrder(const QList<QWidget *> &controls) {
    m_order = controls;
    apply();
}

void TabOrder::moveTo(QWidget *control, int position) {
    m_order.removeOne(control);
    m_order.insert(qBound(0, position, int(m_order.size())), control);
}

void TabOrder::apply() const {
    // Qt leaves a pair alone when either side takes no focus, so such controls are stepped
    // over: each focusable control follows the focusable one before it.
    QWidget *previous = nullptr;
    for (QWidget *control : m_order) {
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}
