#include "TesterFixture.h"
#include "window/LogMenu.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList numbered(int from, int to) {
    QStringList lines;
    for (int i = from; i < to; ++i)
        lines << QStringLiteral("line %1").arg(i);
    return lines;
}

} // namespace

class tst_SessionLog : public QObject {
    Q_OBJECT

private slots:
    void bounds_data();
    void bounds();
    void menuAndClipboard_data();
    void menuAndClipboard();
};

void tst_SessionLog::bounds_data() {
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<QStringList>("appended");
    QTest::addColumn<QStringList>("saved");
    const QString wide(1000, QLatin1Char('x'));
    QTest::newRow("within") << 5 << numbered(0, 5) << numbered(0, 5);
    QTest::newRow("one over") << 5 << numbered(0, 6)
                              << QStringList{"1 earlier line was dropped"} + numbered(1, 6);
    QTest::newRow("many over") << 5 << numbered(0, 1000)
                               << QStringList{"995 earlier lines were dropped"} +
                                      numbered(995, 1000);
    // The size bound here holds three wide lines.
    QTest::newRow("size") << 100 << QStringList{"a", wide, wide, wide, wide}
                          << QStringList{"2 earlier lines were dropped", wide, wide, wide};
}

void tst_SessionLog::bounds() {
    QFETCH(int, maxLines);
    QFETCH(QStringList, appended);
    QFETCH(QStringList, saved);
    SessionLog log(maxLines, 3 * SessionLog::lineCost(QString(1000, QLatin1Char('x'))));
    for (const QString &line : appended)
        log.append(line);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    QVERIFY(writeSessionFile(log, path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(file.readAll()), saved.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    QVERIFY(!writeSessionFile(log, dir.path()));
}

void tst_SessionLog::menuAndClipboard_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Copy") << "Copy" << 3 << "line 153";
    QTest::newRow("Copy, none selected") << "Copy" << -1 << "before";
    QTest::newRow("Copy All") << "Copy All" << 99 << numbered(150, 250).join(QLatin1Char('\n'));
    QTest::newRow("Ctrl+C") << "Ctrl+C" << 99 << "line 249";
}

// Through the window: a right-click opens the menu, whose entries or Ctrl+C fill the clipboard;
// the log keeps its lines, trim and selection, and the session every line of the run.
void tst_SessionLog::menuAndClipboard() {
    QFETCH(QString, how);
    QFETCH(int, selected);
    QFETCH(QString, expected);
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    for (const QString &line : numbered(0, 250)) {
        w.appendLog(line);
        w.TrimTerminal();
    }
    QCOMPARE(w.session.count(), 251);
    QCOMPARE(w.ListBox->lines(), numbered(150, 250));
    w.ListBox->setCurrentRow(selected);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));

    QWidget *viewport = w.ListBox->viewport();
    const QPoint at(5, viewport->height() - 5);
    // The press (which selects the line under it), then the menu event the window system sends.
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
    w.ListBox->setCurrentRow(selected);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &event);
    QTRY_VERIFY(f.tester->logMenu().menu() && f.tester->logMenu().menu()->isVisible());
    QMenu *menu = f.tester->logMenu().menu();
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text() + (action->isEnabled() ? "" : " (off)");
    QCOMPARE(texts, (QStringList{selected < 0 ? "Copy (off)" : "Copy", "Copy All",
                                 QStringLiteral("Save Session As\u2026")}));
    if (how == QLatin1String("Ctrl+C")) {
        menu->hide();
        w.ListBox->setFocus();
        QTest::keyClick(w.ListBox, Qt::Key_C, Qt::ControlModifier);
    } else {
        const int index = how == QLatin1String("Copy") ? 0 : 1;
        menu->actions()[index]->trigger();
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(w.ListBox->currentRow(), selected);
}

QTEST_MAIN(tst_SessionLog)
#include "tst_sessionlog.moc"
