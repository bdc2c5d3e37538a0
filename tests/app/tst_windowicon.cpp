#include "app/WindowIcon.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QtTest>

class tst_WindowIcon : public QObject {
    Q_OBJECT

private slots:
    // Runs first: the pictures read the usual way below load the plugins themselves.
    void loadsNoImageFormatPlugin();
    void picturesAsDrawn_data();
    void picturesAsDrawn();
};

void tst_WindowIcon::loadsNoImageFormatPlugin() {
#ifdef Q_OS_LINUX
    const QIcon icon = loadWindowIcon(QStringLiteral("vorn-gpi-tester"));
    QVERIFY(!icon.isNull());
    QFile maps(QStringLiteral("/proc/self/maps"));
    QVERIFY(maps.open(QIODevice::ReadOnly));
    const QByteArray mapped = maps.readAll();
    QVERIFY2(!mapped.contains("/imageformats/"), "an image format plugin was loaded");
#else
    QSKIP("reads the process's mappings from /proc");
#endif
}

void tst_WindowIcon::picturesAsDrawn_data() {
    QTest::addColumn<QString>("name");
    QTest::newRow("GPI tester") << QStringLiteral("vorn-gpi-tester");
    QTest::newRow("ZED8 tester") << QStringLiteral("vorn-zed8-tester");
}

void tst_WindowIcon::picturesAsDrawn() {
    QFETCH(QString, name);
    const QIcon icon = loadWindowIcon(name);
    QCOMPARE(icon.availableSizes(), (QList<QSize>{QSize(16, 16), QSize(32, 32)}));
    for (const int size : {16, 32}) {
        const QImage drawn(QStringLiteral(":/icons/%1-%2.xpm").arg(name).arg(size));
        QVERIFY(!drawn.isNull());
        const QImage shown = icon.pixmap(QSize(size, size), 1.0).toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
                 drawn.convertToFormat(QImage::Format_ARGB32));
    }
}

QTEST_MAIN(tst_WindowIcon)
#include "tst_windowicon.moc"
