#include "Controls.h"

#include <QMouseEvent>
#include <QPointer>

void CheckBox::mouseReleaseEvent(QMouseEvent *event) {
    const bool before = isChecked();
    const Qt::MouseButton button = event->button();
    QPointer<CheckBox> self(this);
    QCheckBox::mouseReleaseEvent(event);
    if (self)
        emit mouseUp(button, isChecked() != before);
}

bool CheckBox::hitButton(const QPoint &pos) const {
    return rect().contains(pos);
}

void CommandButton::mousePressEvent(QMouseEvent *event) {
    const Qt::MouseButton button = event->button();
    QPointer<CommandButton> self(this);
    QPushButton::mousePressEvent(event);
    if (self)
        emit mouseDown(button);
}

void CommandButton::mouseReleaseEvent(QMouseEvent *event) {
    const Qt::MouseButton button = event->button();
    QPointer<CommandButton> self(this);
    QPushButton::mouseReleaseEvent(event);
    if (self)
        emit mouseUp(button);
}
