// Run once per scale factor (QT_SCALE_FACTOR 1, 1.25, 1.5, 2): every caption that can be seen
// must fit its box in the design font.
#include "TesterFixture.h"
#include "window/Layout.h"

#include <QFontDatabase>
#include <QStyleOptionButton>
#include <QtTest>

namespace {

// The room a check box or push button leaves for its caption.
QRectF captionRoom(QAbstractButton *button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (qobject_cast<QCheckBox *>(button))
        return button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button);
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
}

} // namespace

class tst_Captions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void designFonts();
    void logFont();
    void captionFits_data();
    void captionFits();
    void geometryIsLogical();

private:
    std::unique_ptr<TesterFixture> m_fixture;
};

void tst_Captions::initTestCase() {
    m_fixture = std::make_unique<TesterFixture>();
    Form1 &w = m_fixture->form();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const qreal factor = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                             ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                             : 1.0;
    QCOMPARE(w.devicePixelRatioF(), factor);
}

void tst_Captions::designFonts() {
    Form1 &w = m_fixture->form();
    // The design face, or where it is missing its metric twin.
    const QFontInfo info(w.font());
    QVERIFY2(info.family() == QLatin1String("Liberation Sans") ||
                 info.family() == QLatin1String("Arial"),
             qPrintable(info.family()));
    // Asked for by the name of the face that draws it: a name the system lacks costs a search of
    // every installed font before the window first shows.
    QCOMPARE(w.font().family(), info.family());
    QCOMPARE(w.font().pointSizeF(), 8.25);
    QCOMPARE(QFontInfo(w.GPI_Out[23]->font()).family(), info.family());
    for (QLabel *heading : {w.GPI_In_Label, w.GPI_Out_Label}) {
        QCOMPARE(heading->font().pointSizeF(), 12.0);
        QCOMPARE(heading->font().weight(), QFont::Bold);
        QCOMPARE(QFontInfo(heading->font()).family(), info.family());
    }
}

void tst_Captions::logFont() {
    LogView *log = m_fixture->form().ListBox;
    const QFontInfo info(log->font());
    // Fixed pitch by its glyphs, whatever the face declares.
    const QFontMetricsF metrics(log->font());
    QVERIFY2(metrics.horizontalAdvance(QLatin1Char('i')) ==
                 metrics.horizontalAdvance(QLatin1Char('W')),
             qPrintable(info.family()));
    if (QFontDatabase::families().contains(QStringLiteral("Terminal"))) {
        QCOMPARE(info.family(), QStringLiteral("Terminal"));
        return;
    }
    // Terminal's cell, about ten rows in the box: 18-pixel rows, characters about 10 pixels.
    QVERIFY2(info.fixedPitch(), qPrintable(info.family()));
    QCOMPARE(QFontMetrics(log->font()).height(), 18);
    QVERIFY(metrics.horizontalAdvance(QLatin1Char('M')) >= 9);
    QVERIFY(metrics.horizontalAdvance(QLatin1Char('M')) <= 10.5);
    m_fixture->form().appendLog(QStringLiteral("line"));
    m_fixture->form().TrimTerminal();
    log->publish();
    QCOMPARE(log->visualRect(log->model()->index(0, 0)).height(), 18);
    QCOMPARE(log->viewport()->height() / 18, 10);
}

void tst_Captions::captionFits_data() {
    QTest::addColumn<QString>("name");
    Form1 &w = m_fixture->form();
    // Everything inside the client area that shows a caption.
    for (const LayoutEntry &row : layoutTable()) {
        auto *widget = w.findChild<QWidget *>(row.name, Qt::FindDirectChildrenOnly);
        const bool captioned =
            qobject_cast<QAbstractButton *>(widget) || qobject_cast<QLabel *>(widget);
        if (captioned && !widget->isHidden() && w.rect().contains(widget->geometry()))
            QTest::newRow(qPrintable(row.name)) << row.name;
    }
}

void tst_Captions::captionFits() {
    QFETCH(QString, name);
    Form1 &w = m_fixture->form();
    auto *widget = w.findChild<QWidget *>(name, Qt::FindDirectChildrenOnly);
    const QString text = widget->property("text").toString();
    QVERIFY(!text.isEmpty());
    const QFontMetricsF metrics(widget->font(), widget);
    const QSizeF needed(metrics.horizontalAdvance(text), metrics.height());

    QRectF room;
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        room = captionRoom(button);
    else
        room = static_cast<QLabel *>(widget)->contentsRect();
    const QString why = QStringLiteral("\"%1\" needs %2x%3, has %4x%5 (at %6x)")
                            .arg(text)
                            .arg(needed.width())
                            .arg(needed.height())
                            .arg(room.width())
                            .arg(room.height())
                            .arg(widget->devicePixelRatioF());
    QVERIFY2(needed.width() <= room.width(), qPrintable(why));
    QVERIFY2(needed.height() <= widget->height(), qPrintable(why));
}

void tst_Captions::geometryIsLogical() {
    // Scaling leaves the layout in logical pixels untouched.
    Form1 &w = m_fixture->form();
    QCOMPARE(w.size(), QSize(496, 457));
    QCOMPARE(w.GPI_Out[23]->geometry(), QRect(408, 224, 81, 17));
    QCOMPARE(w.ListBox->geometry(), QRect(8, 248, 481, 184));
}

QTEST_MAIN(tst_Captions)
#include "tst_captions.moc"
