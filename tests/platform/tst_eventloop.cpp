#include "TesterFixture.h"
#include "platform/EventLoop.h"
#include "window/LogMenu.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

// The window on the event loop the tester's main chooses, made before the application object
// as there.
class tst_EventLoop : public QObject {
    Q_OBJECT

private slots:
    void sessionSavedThroughTheDialog();
};

void tst_EventLoop::sessionSavedThroughTheDialog() {
    // Qt's own loop wherever GLib's would be the default.
    QVERIFY(!QAbstractEventDispatcher::instance()->inherits("QEventDispatcherGlib"));

    // A dialog the chosen loop cannot drive would never answer: it is Qt's own where the
    // desktop's needs another loop, and it saves the session.
    TesterFixture f;
    f.form().show();
    f.form().appendLog(QStringLiteral("a line of the session"));
    f.tester->logMenu().saveSessionAs();
    auto *dialog = f.form().findChild<QFileDialog *>();
    QVERIFY(dialog);
    QCOMPARE(dialog->testOption(QFileDialog::DontUseNativeDialog), !nativeFileDialogs());
    QTRY_VERIFY(dialog->isVisible());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("session.txt"));
    dialog->selectFile(path);
    static_cast<QDialog *>(dialog)->accept(); // as its Save button does
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().endsWith("a line of the session\n"));
}

int main(int argc, char *argv[]) {
    chooseEventLoop();
    QApplication app(argc, argv);
    tst_EventLoop test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_eventloop.moc"
