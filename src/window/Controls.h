#pragma once

#include <QCheckBox>
#include <QPushButton>

// Check box and command button that also report the mouse itself: a press or release of
// any mouse button, after the widget has done its own handling (so a click's toggle comes
// before the release is reported). Keyboard activation never raises these.
class CheckBox : public QCheckBox {
    Q_OBJECT

public:
    using QCheckBox::QCheckBox;

signals:
    // toggled tells whether the release completed a click that changed the check state.
    void mouseUp(Qt::MouseButton button, bool toggled);

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The whole box takes the mouse, not only its mark and caption: a press anywhere on it
    // presses it, and a release there changes it.
    bool hitButton(const QPoint &pos) const override;
};

class CommandButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

signals:
    void mouseDown(Qt::MouseButton button);
    void mouseUp(Qt::MouseButton button);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};
