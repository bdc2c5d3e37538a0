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
    // Draws the box from a picture of it made once per look. The GPI boxes overlap their
    // neighbours by a pixel, so each box that changes has its neighbours repainted with it;
    // drawing every one of them with the style (indicator, gradients, caption text) was most
    // of what repainting the indicators cost while the device streams messages.
    void paintEvent(QPaintEvent *event) override;

private:
    // The font's key is costly to build; it is kept until the font changes.
    QFont m_lookFont;
    QString m_lookFontKey;
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
