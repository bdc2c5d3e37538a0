#include "window/Controls.h"

#include <QtTest>

namespace {

enum Change {
    Nothing,
    Check,
    Disable,
    CheckAndDisable,
    Focus,
    FillBackground,
    Recaption,
    Refont,
    Recolour
};

// A row of boxes over a background with a line through them, as on the window: the first one
// is changed, the others overlap it by a pixel. `ours` picks the tester's box or Qt's own.
QImage paint(bool ours, Change change) {
    QWidget window;
    window.resize(260, 80);
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8.25);
    window.setFont(font);
    QList<QCheckBox *> boxes;
    for (int i = 0; i < 4; ++i) {
        const QString caption = QStringLiteral(" %1 (Pin %2)").arg(i + 1).arg(i + 2);
        QCheckBox *box = ours ? new CheckBox(caption, &window) : new QCheckBox(caption, &window);
        box->setGeometry(8 + 80 * (i / 2), 8 + 16 * (i % 2), 81, 17);
        boxes << box;
    }
    QCheckBox *box = boxes.first();
    box->setFocusPolicy(Qt::StrongFocus);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return QImage();
    // Changed after the first paint, so a kept picture of the old look must not be reused.
    box->grab();
    switch (change) {
    case Nothing:
        break;
    case Check:
        box->setChecked(true);
        break;
    case Disable:
        box->setEnabled(false);
        break;
    case CheckAndDisable:
        box->setChecked(true);
        box->setEnabled(false);
        break;
    case Focus:
        window.activateWindow();
        box->setFocus();
        QTest::qWait(10);
        break;
    case FillBackground:
        box->setAutoFillBackground(true);
        box->setChecked(true);
        break;
    case Recaption:
        box->setText(QStringLiteral(" 24 (Pin 25)"));
        break;
    case Refont: {
        QFont bigger = box->font();
        bigger.setPointSizeF(10);
        box->setFont(bigger);
        break;
    }
    case Recolour: {
        QPalette red = box->palette();
        red.setColor(QPalette::WindowText, Qt::red);
        box->setPalette(red);
        break;
    }
    }
    return window.grab().toImage();
}

} // namespace

class tst_CheckBoxLook : public QObject {
    Q_OBJECT

private slots:
    void looksLikeQtsOwn_data();
    void looksLikeQtsOwn();
};

void tst_CheckBoxLook::looksLikeQtsOwn_data() {
    QTest::addColumn<int>("change");
    QTest::newRow("unchecked") << int(Nothing);
    QTest::newRow("checked") << int(Check);
    QTest::newRow("disabled") << int(Disable);
    QTest::newRow("checked and disabled") << int(CheckAndDisable);
    QTest::newRow("focused") << int(Focus);
    QTest::newRow("own background") << int(FillBackground);
    QTest::newRow("new caption") << int(Recaption);
    QTest::newRow("new font") << int(Refont);
    QTest::newRow("new colours") << int(Recolour);
}

// Drawn from its kept picture, a box looks exactly as Qt's check box draws itself, in every
// state and after every change.
void tst_CheckBoxLook::looksLikeQtsOwn() {
    QFETCH(int, change);
    const QImage qts = paint(false, Change(change));
    const QImage ours = paint(true, Change(change));
    QVERIFY(!qts.isNull());
    QCOMPARE(ours, qts);
}

QTEST_MAIN(tst_CheckBoxLook)
#include "tst_checkboxlook.moc"
