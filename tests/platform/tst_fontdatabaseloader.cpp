// Runs the way the testers start: the loader is made before the application object, told
// when that exists, and waited for before the first font is used.
#include "platform/FontDatabaseLoader.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QtTest>

class tst_FontDatabaseLoader : public QObject {
    Q_OBJECT

private slots:
    void fontsResolveAfterEarlyLoad();
    void endsWithoutWait_data();
    void endsWithoutWait();
    void waitsBeforeStartAndTwice();
};

void tst_FontDatabaseLoader::fontsResolveAfterEarlyLoad() {
    // The application's font resolves to a face the font database lists.
    const QString resolved = QFontInfo(QGuiApplication::font()).family();
    QVERIFY(!resolved.isEmpty());
    QVERIFY2(QFontDatabase::families().contains(resolved), qPrintable(resolved));
}

void tst_FontDatabaseLoader::endsWithoutWait_data() {
    QTest::addColumn<bool>("started");
    QTest::newRow("told the application started") << true;
    QTest::newRow("never told") << false;
}

void tst_FontDatabaseLoader::endsWithoutWait() {
    QFETCH(bool, started);
    // Its end waits for the thread, which would otherwise wait for ever or end the process.
    FontDatabaseLoader loader;
    if (started)
        loader.applicationStarted();
}

void tst_FontDatabaseLoader::waitsBeforeStartAndTwice() {
    FontDatabaseLoader loader;
    loader.wait();
    loader.wait();
    // Told too late: nothing left to do, and nothing breaks.
    loader.applicationStarted();
}

int main(int argc, char *argv[]) {
    FontDatabaseLoader loader;
    QGuiApplication app(argc, argv);
    loader.applicationStarted();
    loader.wait();
    tst_FontDatabaseLoader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fontdatabaseloader.moc"
