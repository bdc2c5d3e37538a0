#include "TesterFixture.h"
#include "platform/EventLoop.h"
#include "window/LogMenu.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

// What a screen reader finds in the log: each row's text, and the rows marked selected. The
// interface is dropped after each reading, so the next one starts afresh as a new reader would:
// without a platform bridge (offscreen) the views' change notices do not reach Qt's cache.
struct ReadBack {
    QStringList lines;
    QList<int> selected;
};

ReadBack readAccessibly(QWidget *log) {
    ReadBack back;
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(log);
    if (!list || list->role() != QAccessible::List)
        return back;
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface *item = list->child(i);
        if (!item || item->role() != QAccessible::ListItem)
            continue;
        back.lines << item->text(QAccessible::Name);
        if (item->state().selected)
            back.selected << int(back.lines.size()) - 1;
    }
    QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(list));
    return back;
}

} // namespace

class tst_LogView : public QObject {
    Q_OBJECT

private slots:
    void viewAndAccessibilityFollowTheHandler_data();
    void viewAndAccessibilityFollowTheHandler();
    void oneBatchPerFrame();
    void mouseAndKeysSelect();
    void wideLineScrolls();
    void gpiBoxesAreToldApart();
    void firstFrameIsTheWindowAlone();
    void repaintsOncePerFrame();
    void arrivalsInOneFrame();
    void sessionSavedThroughTheDialog();
};

void tst_LogView::viewAndAccessibilityFollowTheHandler_data() {
    QTest::addColumn<int>("logged");
    QTest::addColumn<bool>("clearFirst");
    QTest::newRow("start-up line only") << 0 << false;
    QTest::newRow("a few") << 5 << false;
    QTest::newRow("past the trim") << 250 << false;
    QTest::newRow("everything replaced") << 100 << true;
}

void tst_LogView::viewAndAccessibilityFollowTheHandler() {
    QFETCH(int, logged);
    QFETCH(bool, clearFirst);
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    QTRY_COMPARE(readAccessibly(w.ListBox).lines, f.log());
    if (clearFirst)
        for (int i = 0; i < 100; ++i)
            w.appendLog(QStringLiteral("old %1").arg(i));
    w.TrimTerminal();
    for (int i = 0; i < logged; ++i) {
        w.appendLog(QStringLiteral("line %1").arg(i));
        w.TrimTerminal();
    }
    // The handler's data is current at once; the view and the bus catch up with the event loop.
    QCOMPARE(w.ListBox->count(), std::min(100, int(f.log().size())));
    QCOMPARE(w.ListBox->currentRow(), w.ListBox->count() - 1);
    const QList<int> newest{w.ListBox->count() - 1};
    QTRY_VERIFY(readAccessibly(w.ListBox).selected == newest);
    QCOMPARE(readAccessibly(w.ListBox).lines, f.log());
    QCOMPARE(w.ListBox->currentIndex().row(), w.ListBox->count() - 1);
    // The newest line is in view.
    const QRect shown = w.ListBox->visualRect(w.ListBox->currentIndex());
    QVERIFY(w.ListBox->viewport()->rect().contains(shown));
}

void tst_LogView::oneBatchPerFrame() {
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    w.ListBox->publish();
    QSignalSpy inserted(w.ListBox->model(), &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(w.ListBox->model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(w.ListBox->model(), &QAbstractItemModel::modelReset);
    // A stream of messages handled one after the other, as a flood delivers them.
    for (int i = 0; i < 500; ++i) {
        w.appendLog(QStringLiteral("message %1").arg(i));
        w.TrimTerminal();
    }
    QCOMPARE(inserted.count() + removed.count() + reset.count(), 0);
    QTRY_COMPARE(w.ListBox->model()->rowCount(), 100);
    // One removal of the oldest rows and one insertion of the new ones.
    QCOMPARE(removed.count(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(reset.count(), 0);
    QCOMPARE(w.ListBox->model()->index(99, 0).data().toString(), QStringLiteral("message 499"));
}

void tst_LogView::mouseAndKeysSelect() {
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    for (int i = 0; i < 3; ++i)
        w.appendLog(QStringLiteral("line %1").arg(i));
    w.TrimTerminal();
    w.ListBox->publish();
    QCOMPARE(w.ListBox->currentRow(), 3);

    const QRect first = w.ListBox->visualRect(w.ListBox->model()->index(0, 0));
    QTest::mouseClick(w.ListBox->viewport(), Qt::LeftButton, {}, first.center());
    QCOMPARE(w.ListBox->currentRow(), 0);
    QTest::keyClick(w.ListBox, Qt::Key_Down);
    QCOMPARE(w.ListBox->currentRow(), 1);
    QVERIFY(w.ListBox->selectionModel()->isRowSelected(1, QModelIndex()));

    // A person's choice holds until the program selects the newest line again.
    w.appendLog(QStringLiteral("line 3"));
    QCOMPARE(w.ListBox->currentRow(), 1);
    w.TrimTerminal();
    QCOMPARE(w.ListBox->currentRow(), 4);
    QTRY_VERIFY(w.ListBox->selectionModel()->isRowSelected(4, QModelIndex()));
}

void tst_LogView::wideLineScrolls() {
    TesterFixture f;
    Form1 &w = f.form();
    w.show();
    w.ListBox->publish();
    QCOMPARE(w.ListBox->horizontalScrollBar()->maximum(), 0);
    const QString wide = QStringLiteral("Winsock error: ") + QString(120, u'x');
    w.appendLog(wide);
    w.appendLog(QStringLiteral("short"));
    w.TrimTerminal();
    // Rows are laid out at the widest line's width, whichever row it is.
    QTRY_VERIFY(w.ListBox->horizontalScrollBar()->maximum() > 0);
    const QModelIndex index = w.ListBox->model()->index(1, 0);
    QVERIFY(w.ListBox->visualRect(index).width() >=
            w.ListBox->fontMetrics().horizontalAdvance(wide));
    QCOMPARE(index.data().toString(), wide);
}

void tst_LogView::gpiBoxesAreToldApart() {
    TesterFixture f;
    Form1 &w = f.form();
    for (int i : {0, 7, 23}) {
        QAccessibleInterface *in = QAccessible::queryAccessibleInterface(w.GPI_In[i]);
        QAccessibleInterface *out = QAccessible::queryAccessibleInterface(w.GPI_Out[i]);
        const QString caption = QStringLiteral(" %1 (Pin %2)").arg(i + 1).arg(i + 2);
        QCOMPARE(in->text(QAccessible::Name), caption);
        QCOMPARE(out->text(QAccessible::Name), caption);
        QCOMPARE(in->text(QAccessible::Description), QStringLiteral("GPI input %1").arg(i + 1));
        QCOMPARE(out->text(QAccessible::Description), QStringLiteral("GPI output %1").arg(i + 1));
        QCOMPARE(in->role(), QAccessible::CheckBox);
    }
}

// Counts the paint events a widget gets.
struct PaintCounter : QObject {
    int paints = 0;
    std::function<void()> onPaint = [] {};
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            onPaint();
        }
        return false;
    }
};

// Showing the window counts as its first frame: the start-up line waits for the next one, and
// then shows.
void tst_LogView::firstFrameIsTheWindowAlone() {
    TesterFixture f;
    Form1 &w = f.form();
    QElapsedTimer sinceShow;
    sinceShow.start();
    w.show();
    QCoreApplication::sendPostedEvents(&w, QEvent::UpdateRequest);
    if (sinceShow.elapsed() < LogView::FrameMs)
        QCOMPARE(w.ListBox->model()->rowCount(), 0);
    QTRY_COMPARE(w.ListBox->model()->rowCount(), 1);
}

void tst_LogView::repaintsOncePerFrame() {
    TesterFixture f;
    Form1 &w = f.form();
    f.connectNow();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QTest::qWait(2 * LogView::FrameMs);
    PaintCounter counter;
    w.GPI_In[0]->installEventFilter(&counter);
    QElapsedTimer elapsed;
    elapsed.start();
    // A stream of messages, each handled on its own turn of the event loop: the indicator and
    // the log change every time, the screen at most once a frame.
    for (int i = 0; i < 200; ++i) {
        w.GPI_In[0]->setChecked(i % 2 == 0);
        w.appendLog(QStringLiteral("message %1").arg(i));
        w.TrimTerminal();
        QCoreApplication::processEvents();
    }
    const int frames = int(elapsed.elapsed() / LogView::FrameMs) + 2;
    QVERIFY2(counter.paints <= frames,
             qPrintable(QStringLiteral("%1 paints in %2 frames").arg(counter.paints).arg(frames)));
    // The last state reaches the screen all the same.
    const int before = counter.paints;
    w.GPI_In[0]->setChecked(!w.GPI_In[0]->isChecked());
    QTRY_VERIFY(counter.paints > before);
}

// Input reports change the indicators and log lines; both reach the screen in one frame, the
// indicators with the last state reported before it, and only those that change are set and
// repainted. A state still waiting when the connection ends is not shown.
void tst_LogView::arrivalsInOneFrame() {
    ConnectedTester f;
    Form1 &w = f.form();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    // Indicators 4 and 6, which overlap no neighbour's box; 4 is on only in a report that is
    // followed by another before the frame.
    PaintCounter fourPaints;
    w.GPI_In[3]->installEventFilter(&fourPaints);
    for (int round = 0; round < 3; ++round) {
        // A frame later the window paints at once; then right after a frame it must wait.
        QTest::qWait(round == 0 ? 2 * LogView::FrameMs : 1);
        const bool on = round % 2 == 0;
        int rowsAtPaint = -1;
        PaintCounter sixPaints;
        sixPaints.onPaint = [&] { rowsAtPaint = w.ListBox->model()->rowCount(); };
        w.GPI_In[5]->installEventFilter(&sixPaints);
        f.socket.arrive(QByteArray::fromHex(on ? "ff000004d7ffff" : "ff000004f7ffff"));
        f.socket.arrive(QByteArray::fromHex(on ? "ff000004dfffff" : "ff000004ffffff"));
        QCOMPARE(w.GPI_In[5]->isChecked(), !on);
        QTRY_VERIFY(sixPaints.paints > 0);
        QCOMPARE(w.GPI_In[5]->isChecked(), on);
        QCOMPARE(QAccessible::queryAccessibleInterface(w.GPI_In[5])->state().checked, on);
        QCOMPARE(rowsAtPaint, w.ListBox->count());
    }
    QCOMPARE(fourPaints.paints, 0);

    f.socket.arrive(QByteArray::fromHex("ff000004000000"));
    f.disconnectNow();
    QTest::qWait(3 * LogView::FrameMs);
    for (CheckBox *box : w.GPI_In)
        QVERIFY(!box->isChecked());
}

void tst_LogView::sessionSavedThroughTheDialog() {
    // Qt's own loop wherever GLib's would be the default, and a file dialog the loop can drive:
    // it shows, and its Save writes the session (whose text tst_sessionlog checks).
    QVERIFY(!QAbstractEventDispatcher::instance()->inherits("QEventDispatcherGlib"));
    TesterFixture f;
    f.form().show();
    f.tester->logMenu().saveSessionAs();
    auto *dialog = f.form().findChild<QFileDialog *>();
    QVERIFY(dialog);
    QCOMPARE(dialog->testOption(QFileDialog::DontUseNativeDialog), !nativeFileDialogs());
    QTRY_VERIFY(dialog->isVisible());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    dialog->selectFile(path);
    static_cast<QDialog *>(dialog)->accept(); // as its Save button does
    QVERIFY(QFileInfo(path).size() > 0);
}

// The window on the event loop that the tester's main chooses before its application object.
int main(int argc, char *argv[]) {
    chooseEventLoop();
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    tst_LogView test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_logview.moc"
