#include "Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QPointer>
#include <QStyleOptionButton>

void CheckBox::mouseReleaseEvent(QMouseEvent *event) {
    const bool before = isChecked();
    const Qt::MouseButton button = event->button();
    QPointer<CheckBox> self(this);
    QCheckBox::mouseReleaseEvent(event);
    if (self)
        emit mouseUp(button, isChecked() != before);
}

void CheckBox::paintEvent(QPaintEvent *) {
    QStyleOptionButton option;
    initStyleOption(&option);
    const qreal ratio = devicePixelRatioF();
    if (font() != m_lookFont) {
        m_lookFont = font();
        m_lookFontKey = m_lookFont.key();
    }
    // Everything the style's drawing depends on.
    const QString look =
        QLatin1String("vorn-checkbox ") + QString::number(int(option.state)) + u' ' +
        QString::number(width()) + u'x' + QString::number(height()) + u' ' +
        QString::number(qRound(ratio * 1000)) + u' ' + QString::number(palette().cacheKey()) +
        u' ' + QString::number(quintptr(style())) + u' ' + QString::number(int(layoutDirection())) +
        u' ' + m_lookFontKey + u' ' + option.text;
    QPixmap picture;
    if (!QPixmapCache::find(look, &picture)) {
        picture = QPixmap((QSizeF(size()) * ratio).toSize());
        picture.setDevicePixelRatio(ratio);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        // What a painter on the widget itself would start with.
        painter.setFont(font());
        painter.setPen(palette().color(foregroundRole()));
        painter.setBackground(palette().brush(backgroundRole()));
        style()->drawControl(QStyle::CE_CheckBox, &option, &painter, this);
        painter.end();
        QPixmapCache::insert(look, picture);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture);
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
