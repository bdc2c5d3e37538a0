// Runs the way the testers start: the loader is made before the application object, and
// waited for before the first font is used.
#include "platform/FontConfigLoader.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QtTest>

class tst_FontConfigLoader : public QObject {
    Q_OBJECT

private slots:
    void fontsResolveAfterEarlyLoad();
    void endsWithoutWait();
    void waitsTwice();
};

void tst_FontConfigLoader::fontsResolveAfterEarlyLoad() {
    // The application's font resolves to a face the font database lists.
    const QString resolved = QFontInfo(QGuiApplication::font()).family();
    QVERIFY(!resolved.isEmpty());
    QVERIFY2(QFontDatabase::families().contains(resolved), qPrintable(resolved));
}

void tst_FontConfigLoader::endsWithoutWait() {
    // Its end waits for the thread; a thread left running would end the process.
    FontConfigLoader loader;
}

void tst_FontConfigLoader::waitsTwice() {
    FontConfigLoader loader;
    loader.wait();
    loader.wait();
}

int main(int argc, char *argv[]) {
    FontConfigLoader loader;
    QGuiApplication app(argc, argv);
    loader.wait();
    tst_FontConfigLoader test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fontconfigloader.moc"
