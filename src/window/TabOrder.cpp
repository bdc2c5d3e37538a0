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
    for (int i = 1; i < m_order.size(); ++i)
        QWidget::setTabOrder(m_order[i - 1], m_order[i]);
}
