#include "TesterFixture.h"
#include "window/LogItemDelegate.h"

#include <QFontDatabase>
#include <QtTest>

namespace {

// A log as the window has it: the log's font and size, a hundred lines, the newest selected.
void fill(QListWidget &log, const QStringList &lines, int selected) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(13.5);
    log.setFont(font);
    log.setUniformItemSizes(true);
    log.resize(481, 184);
    log.addItems(lines);
    log.setCurrentRow(selected);
    log.scrollToItem(log.item(selected));
}

QStringList logLines(const QString &last) {
    QStringList lines;
    for (int i = 0; i < 99; ++i)
        lines << QStringLiteral("   %1.%2 (0.001) GPI Input")
                     .arg(i)
                     .arg(i * 7 % 1000, 3, 10, QLatin1Char('0'));
    lines << last;
    return lines;
}

} // namespace

class tst_LogItemDelegate : public QObject {
    Q_OBJECT

private slots:
    void looksLikeTheItemView_data();
    void looksLikeTheItemView();
    void sizesLikeTheStyle_data();
    void sizesLikeTheStyle();
    void keepsLayoutsOfShownLinesOnly();
    void testerLogUsesIt();
};

void tst_LogItemDelegate::looksLikeTheItemView_data() {
    QTest::addColumn<QString>("last");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("focus");
    const QString line = QStringLiteral("    5.573 (0.001) GPI Input");
    const QString tooLong = QStringLiteral("Connection is aborted: the remote host closed the "
                                           "connection in a way nobody expected at all");
    QTest::newRow("newest selected") << line << 99 << false;
    QTest::newRow("older selected") << line << 96 << false;
    QTest::newRow("with focus") << line << 99 << true;
    QTest::newRow("too long, elided") << tooLong << 99 << false;
    QTest::newRow("too long, not selected") << tooLong << 97 << true;
    QTest::newRow("empty line") << QString() << 99 << false;
}

// Pixel for pixel what the item view's own delegate draws, in every state of a line.
void tst_LogItemDelegate::looksLikeTheItemView() {
    QFETCH(QString, last);
    QFETCH(int, selected);
    QFETCH(bool, focus);
    QImage images[2];
    for (int kept = 0; kept < 2; ++kept) {
        QListWidget log;
        if (kept)
            log.setItemDelegate(new LogItemDelegate(&log));
        fill(log, logLines(last), selected);
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        if (focus) {
            log.activateWindow();
            log.setFocus();
            QTRY_VERIFY(log.hasFocus());
        }
        images[kept] = log.grab().toImage();
    }
    QCOMPARE(images[1], images[0]);
}

void tst_LogItemDelegate::sizesLikeTheStyle_data() {
    QTest::addColumn<QString>("family");
    QTest::addColumn<qreal>("points");
    const QString fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    QTest::newRow("the log's fixed-pitch font") << fixed << 13.5;
    QTest::newRow("fixed pitch, smaller") << fixed << 9.0;
    QTest::newRow("proportional font") << QStringLiteral("Liberation Sans") << 13.5;
}

// The size of every line, whatever came before it and in whatever font, is the style's own.
void tst_LogItemDelegate::sizesLikeTheStyle() {
    QFETCH(QString, family);
    QFETCH(qreal, points);
    QListWidget log;
    QFont font(family);
    font.setPointSizeF(points);
    log.setFont(font);
    const QStringList lines = {QStringLiteral("    5.573 (0.001) GPI Input"),
                               QStringLiteral("  123.456 (9.999) GPI Input"),
                               QStringLiteral("iiiiiiiiiiiiiiiiiiiiiiiiiii"),
                               QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWW"),
                               QStringLiteral("AVAVAVAVToToToToToWAWAWAWAW"),
                               QStringLiteral("Connect"),
                               QStringLiteral("Disconnect"),
                               QStringLiteral("Port 4141 is r\u00e9serv\u00e9"),
                               QStringLiteral("tab\there"),
                               QString()};
    log.addItems(lines);
    auto *delegate = new LogItemDelegate(&log);
    QStyledItemDelegate plain;
    QStyleOptionViewItem option;
    option.initFrom(&log);
    option.font = font;
    for (int round = 0; round < 2; ++round) {
        for (int row = 0; row < log.count(); ++row) {
            const QModelIndex index = log.model()->index(row, 0);
            QCOMPARE(delegate->sizeHint(option, index), plain.sizeHint(option, index));
        }
    }
}

void tst_LogItemDelegate::keepsLayoutsOfShownLinesOnly() {
    QListWidget log;
    auto *delegate = new LogItemDelegate(&log);
    log.setItemDelegate(delegate);
    fill(log, logLines(QStringLiteral("newest")), 99);
    log.show();
    QVERIFY(QTest::qWaitForWindowExposed(&log));
    log.grab();
    const int shown = delegate->cachedLines();
    QVERIFY(shown > 0 && shown < 20);
    // A thousand lines going through the log keep no more than a bounded number of layouts.
    for (int i = 0; i < 1000; ++i) {
        log.addItem(QStringLiteral("line %1").arg(i));
        log.model()->removeRows(0, 1);
        log.scrollToBottom();
        log.grab();
    }
    QVERIFY(delegate->cachedLines() <= 256);
    QCOMPARE(log.count(), 100);
}

void tst_LogItemDelegate::testerLogUsesIt() {
    TesterFixture f;
    QVERIFY(qobject_cast<LogItemDelegate *>(f.form().ListBox->itemDelegate()));
}

QTEST_MAIN(tst_LogItemDelegate)
#include "tst_logitemdelegate.moc"
