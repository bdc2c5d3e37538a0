#include "window/LogList.h"

#include <QFontDatabase>
#include <QListWidget>
#include <QScrollBar>
#include <QtTest>

namespace {

QFont logFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(13.5);
    return font;
}

QStringList logLines(int count, const QString &last = QStringLiteral("newest")) {
    QStringList lines;
    for (int i = 0; i < count - 1; ++i)
        lines << QStringLiteral("   %1.%2 (0.001) GPI Input")
                     .arg(i)
                     .arg(i * 7 % 1000, 3, 10, QLatin1Char('0'));
    lines << last;
    return lines;
}

// A log as the window has it: the log's font and size, the lines, one of them selected.
template <class List> void fill(List &log, const QStringList &lines, int selected) {
    log.setFont(logFont());
    log.resize(481, 184);
    for (const QString &line : lines)
        log.addItem(line);
    log.setCurrentRow(selected);
}

QImage shown(QWidget &widget, bool focus) {
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget))
        return QImage();
    if (focus) {
        widget.activateWindow();
        widget.setFocus();
        if (!QTest::qWaitFor([&widget] { return widget.hasFocus(); }))
            return QImage();
    }
    return widget.grab().toImage();
}

} // namespace

class tst_LogList : public QObject {
    Q_OBJECT

private slots:
    void looksLikeTheListWidget_data();
    void looksLikeTheListWidget();
    void selectionFollowsRemovals();
    void selectingScrollsIntoView();
    void keyboardAndMouseSelect();
    void longLinesScrollSideways();
    void keepsLayoutsOfShownLinesOnly();
};

void tst_LogList::looksLikeTheListWidget_data() {
    QTest::addColumn<int>("lines");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("focus");
    QTest::newRow("newest selected") << 100 << 99 << false;
    QTest::newRow("older selected") << 100 << 96 << false;
    QTest::newRow("with focus") << 100 << 99 << true;
    QTest::newRow("scrolled to the top, focus") << 100 << 0 << true;
    QTest::newRow("a few lines") << 3 << 2 << false;
    QTest::newRow("empty") << 0 << -1 << true;
}

// Pixel for pixel what the toolkit's list widget draws with the same lines and selection.
void tst_LogList::looksLikeTheListWidget() {
    QFETCH(int, lines);
    QFETCH(int, selected);
    QFETCH(bool, focus);
    const QStringList text = lines ? logLines(lines) : QStringList();

    QListWidget reference;
    reference.setUniformItemSizes(true);
    fill(reference, text, selected);
    if (selected >= 0)
        reference.scrollToItem(reference.item(selected));
    const QImage expected = shown(reference, focus);
    reference.hide();

    LogList log;
    fill(log, text, selected);
    QCOMPARE(shown(log, focus), expected);
}

void tst_LogList::selectionFollowsRemovals() {
    LogList log;
    fill(log, logLines(10), 5);
    log.removeItem(2);
    QCOMPARE(log.count(), 9);
    QCOMPARE(log.currentRow(), 4);
    QCOMPARE(log.text(4), logLines(10)[5]);
    // The selected line itself goes: nothing is selected.
    log.removeItem(4);
    QCOMPARE(log.currentRow(), -1);
    log.setCurrentRow(1);
    log.removeItem(7);
    QCOMPARE(log.currentRow(), 1);
    // Indexes outside the list change nothing.
    log.removeItem(-1);
    log.removeItem(log.count());
    QCOMPARE(log.count(), 7);
    log.setCurrentRow(7);
    QCOMPARE(log.currentRow(), -1);
    log.setCurrentRow(3);
    log.clear();
    QCOMPARE(log.count(), 0);
    QCOMPARE(log.currentRow(), -1);
    QCOMPARE(log.text(0), QString());
}

void tst_LogList::selectingScrollsIntoView() {
    LogList log;
    fill(log, logLines(100), 99);
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    const auto inView = [&log](int row) {
        return log.viewport()->rect().contains(log.visualRect(row));
    };
    QVERIFY(inView(99));
    QVERIFY(!inView(0));
    // Lines keep coming and the oldest go, as the window's log does: the newest stays in view.
    for (int i = 0; i < 30; ++i) {
        log.addItem(QStringLiteral("line %1").arg(i));
        log.removeItem(0);
        log.setCurrentRow(log.count() - 1);
        QVERIFY(inView(99));
    }
    QCOMPARE(log.text(99), QStringLiteral("line 29"));
    log.setCurrentRow(0);
    QCOMPARE(log.topRow(), 0);
    QVERIFY(inView(0));
    // The wheel scrolls without changing the selection.
    QWheelEvent wheel(QPointF(10, 10), log.viewport()->mapToGlobal(QPointF(10, 10)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(log.viewport(), &wheel);
    QVERIFY(log.topRow() > 0);
    QCOMPARE(log.currentRow(), 0);
}

void tst_LogList::keyboardAndMouseSelect() {
    LogList log;
    fill(log, logLines(100), 99);
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    QTest::keyClick(&log, Qt::Key_Up);
    QCOMPARE(log.currentRow(), 98);
    QTest::keyClick(&log, Qt::Key_Home);
    QCOMPARE(log.currentRow(), 0);
    QTest::keyClick(&log, Qt::Key_Up);
    QCOMPARE(log.currentRow(), 0);
    QTest::keyClick(&log, Qt::Key_PageDown);
    QVERIFY(log.currentRow() > 1);
    QVERIFY(log.viewport()->rect().contains(log.visualRect(log.currentRow())));
    QTest::keyClick(&log, Qt::Key_End);
    QCOMPARE(log.currentRow(), 99);
    QTest::keyClick(&log, Qt::Key_Down);
    QCOMPARE(log.currentRow(), 99);

    const int target = log.topRow() + 2;
    QTest::mouseClick(log.viewport(), Qt::LeftButton, {}, log.visualRect(target).center());
    QCOMPARE(log.currentRow(), target);
    // A click below the last line selects nothing new.
    LogList few;
    fill(few, logLines(2), 0);
    few.show();
    QVERIFY(QTest::qWaitForWindowExposed(&few));
    QTest::mouseClick(few.viewport(), Qt::LeftButton, {}, QPoint(10, few.viewport()->height() - 2));
    QCOMPARE(few.currentRow(), 0);
}

// A line wider than the log brings a scroll bar to read it whole; it goes with the line.
void tst_LogList::longLinesScrollSideways() {
    LogList log;
    fill(log, logLines(20), 19);
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    QCOMPARE(log.horizontalScrollBar()->maximum(), 0);
    const QString wide = QStringLiteral("Socket error: ") + QString(80, QLatin1Char('x'));
    log.addItem(wide);
    QVERIFY(log.horizontalScrollBar()->maximum() > 0);
    QVERIFY(log.visualRect(20).width() >= log.fontMetrics().horizontalAdvance(wide));
    // A larger font measures every line again.
    const int range = log.horizontalScrollBar()->maximum();
    QFont larger = log.font();
    larger.setPointSizeF(larger.pointSizeF() * 2);
    log.setFont(larger);
    QVERIFY(log.horizontalScrollBar()->maximum() > range);
    QVERIFY(log.visualRect(20).width() >= log.fontMetrics().horizontalAdvance(wide));
    log.setFont(logFont());
    QCOMPARE(log.horizontalScrollBar()->maximum(), range);
    // Wide letters of a text that is not plain ASCII are measured by the font.
    const QString accented = QString(60, QChar(0x00C9));
    log.addItem(accented);
    QVERIFY(log.visualRect(21).width() >= log.fontMetrics().horizontalAdvance(accented));
    log.removeItem(20);
    log.removeItem(20);
    QCOMPARE(log.horizontalScrollBar()->maximum(), 0);
}

void tst_LogList::keepsLayoutsOfShownLinesOnly() {
    LogList log;
    fill(log, logLines(100), 99);
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    log.grab();
    const int shownLines = log.rowPainter().keptLines();
    QVERIFY(shownLines > 0 && shownLines < 20);
    // A thousand lines going through the log keep no more than a bounded number of layouts.
    for (int i = 0; i < 1000; ++i) {
        log.addItem(QStringLiteral("line %1").arg(i));
        log.removeItem(0);
        log.setCurrentRow(99);
        log.grab();
    }
    QVERIFY(log.rowPainter().keptLines() <= 256);
    QCOMPARE(log.count(), 100);
}

QTEST_MAIN(tst_LogList)
#include "tst_loglist.moc"
