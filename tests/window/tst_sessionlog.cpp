#include "TesterFixture.h"
#include "window/LogMenu.h"
#include "window/SessionLog.h"

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

QStringList readLines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("(cannot read %1)").arg(path)};
    QString text = QString::fromUtf8(file.readAll());
    if (text.isEmpty())
        return {};
    // Every line ends with a line feed, the last one too.
    if (!text.endsWith(QLatin1Char('\n')))
        return {QStringLiteral("(no line feed at the end)")};
    text.chop(1);
    return text.split(QLatin1Char('\n'));
}

// A right-click as the window system delivers it: the press, then the context menu event.
void rightClick(QWidget *viewport, const QPoint &at) {
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QCoreApplication::sendEvent(viewport, &event);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
}

// Appends lines as operations do: each followed by the trim.
void logLines(Form1 &w, const QStringList &lines) {
    for (const QString &line : lines) {
        w.appendLog(line);
        w.TrimTerminal();
    }
}

} // namespace

class tst_SessionLog : public QObject {
    Q_OBJECT

private slots:
    void bounds_data();
    void bounds();
    void keepsWhatTheLogTrims();
    void menu();
    void clipboard_data();
    void clipboard();
    void saveFailure();
};

void tst_SessionLog::bounds_data() {
    QTest::addColumn<int>("maxLines");
    QTest::addColumn<qint64>("maxBytes");
    QTest::addColumn<QStringList>("appended");
    QTest::addColumn<QStringList>("saved");
    const QString longLine(1000, QLatin1Char('x'));
    const qint64 longCost = SessionLog::lineCost(longLine);
    const qint64 plenty = 1 << 20;
    QTest::newRow("none") << 5 << plenty << QStringList() << QStringList();
    QTest::newRow("within") << 5 << plenty << numbered(0, 5) << numbered(0, 5);
    QTest::newRow("one over") << 5 << plenty << numbered(0, 6)
                              << QStringList{"1 earlier line was dropped"} + numbered(1, 6);
    QTest::newRow("many over") << 5 << plenty << numbered(0, 1000)
                               << QStringList{"995 earlier lines were dropped"} +
                                      numbered(995, 1000);
    QTest::newRow("size bound") << 100 << 3 * longCost
                                << QStringList{"a", longLine, longLine, longLine, longLine}
                                << QStringList{"2 earlier lines were dropped", longLine, longLine,
                                               longLine};
    QTest::newRow("newest kept alone over size")
        << 100 << longCost - 1 << QStringList{"a", "b", longLine}
        << QStringList{"2 earlier lines were dropped", longLine};
    QTest::newRow("empty and literal lines")
        << 3 << plenty << QStringList{"", QStringLiteral("Connect"), ""}
        << QStringList{"", "Connect", ""};
}

void tst_SessionLog::bounds() {
    QFETCH(int, maxLines);
    QFETCH(qint64, maxBytes);
    QFETCH(QStringList, appended);
    QFETCH(QStringList, saved);
    SessionLog log(maxLines, maxBytes);
    QSignalSpy spy(&log, &SessionLog::appended);
    for (const QString &line : appended)
        log.append(line);
    QCOMPARE(spy.size(), appended.size());
    QVERIFY(log.count() <= maxLines);
    QVERIFY(log.bytes() <= maxBytes || log.count() == 1);
    QCOMPARE(log.count() + log.dropped(), appended.size());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    QVERIFY(writeSessionFile(log, path));
    QCOMPARE(readLines(path), saved);
}

void tst_SessionLog::keepsWhatTheLogTrims() {
    TesterFixture f;
    Form1 &w = f.form();
    const QString startup = w.ListBox->text(0);
    logLines(w, numbered(0, 250));
    // The shown log is trimmed and selected as ever; the session has every line of the run.
    QCOMPARE(w.ListBox->lines(), numbered(150, 250));
    QCOMPARE(w.ListBox->currentRow(), 99);
    QCOMPARE(w.session.count(), 251);
    QCOMPARE(w.session.line(0), startup);
    QCOMPARE(w.session.line(250), QStringLiteral("line 249"));
    QCOMPARE(w.session.dropped(), 0);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    QVERIFY(writeSessionFile(w.session, path));
    QCOMPARE(readLines(path), QStringList{startup} + numbered(0, 250));
}

void tst_SessionLog::menu() {
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QMenu *menu = f.tester->logMenu().menu();
    QStringList texts;
    for (const QAction *action : menu->actions())
        if (!action->isSeparator())
            texts << action->text();
    QCOMPARE(texts, (QStringList{"Copy", "Copy All", QStringLiteral("Save Session As\u2026")}));
    QCOMPARE(f.tester->logMenu().copyAction()->shortcut(), QKeySequence(QKeySequence::Copy));

    // A right-click on the log opens it, and the log goes on taking lines meanwhile.
    QWidget *viewport = w.ListBox->viewport();
    rightClick(viewport, viewport->rect().center());
    QTRY_VERIFY(menu->isVisible());
    logLines(w, numbered(0, 3));
    QCOMPARE(w.ListBox->text(w.ListBox->currentRow()), QStringLiteral("line 2"));
    menu->hide();

    // Without a selected line there is nothing to copy.
    w.ListBox->setCurrentRow(-1);
    rightClick(viewport, viewport->rect().bottomRight());
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(!f.tester->logMenu().copyAction()->isEnabled());
    QVERIFY(f.tester->logMenu().copyAllAction()->isEnabled());
    menu->hide();
}

void tst_SessionLog::clipboard_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("expected");
    const QString all = numbered(150, 250).join(QLatin1Char('\n'));
    QTest::newRow("Copy") << "Copy" << 99 << "line 249";
    QTest::newRow("Copy, an older line selected") << "Copy" << 3 << "line 153";
    QTest::newRow("Copy, none selected") << "Copy" << -1 << "before";
    QTest::newRow("Copy All") << "Copy All" << 99 << all;
    QTest::newRow("Copy All, none selected") << "Copy All" << -1 << all;
    QTest::newRow("Ctrl+C") << "Ctrl+C" << 99 << "line 249";
    QTest::newRow("Ctrl+C, an older line selected") << "Ctrl+C" << 0 << "line 150";
}

void tst_SessionLog::clipboard() {
    QFETCH(QString, how);
    QFETCH(int, selected);
    QFETCH(QString, expected);
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    logLines(w, numbered(0, 250));
    w.ListBox->setCurrentRow(selected);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    LogMenu &menu = f.tester->logMenu();
    if (how == QLatin1String("Ctrl+C")) {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.ListBox->setFocus();
        QTRY_VERIFY(w.ListBox->hasFocus());
        QTest::keyClick(w.ListBox, Qt::Key_C, Qt::ControlModifier);
    } else {
        (how == QLatin1String("Copy") ? menu.copyAction() : menu.copyAllAction())->trigger();
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QCOMPARE(w.ListBox->currentRow(), selected);
}

void tst_SessionLog::saveFailure() {
    SessionLog log;
    log.append(QStringLiteral("line"));
    QTemporaryDir dir;
    QString error;
    // A folder where the file should be, and a folder that is not there.
    QVERIFY(!writeSessionFile(log, dir.path(), &error));
    QVERIFY(!error.isEmpty());
    error.clear();
    QVERIFY(!writeSessionFile(log, dir.filePath(QStringLiteral("gone/session.txt")), &error));
    QVERIFY(!error.isEmpty());
}

QTEST_MAIN(tst_SessionLog)
#include "tst_sessionlog.moc"
