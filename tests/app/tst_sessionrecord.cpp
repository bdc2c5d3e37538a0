#include "TesterFixture.h"
#include "app/SessionRecord.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString Stamp = QStringLiteral(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d)");

QStringList fileLines(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

qint64 stampMSecs(const QString &line) {
    return QDateTime::fromString(line.left(29), Qt::ISODateWithMs).toMSecsSinceEpoch();
}

} // namespace

class tst_SessionRecord : public QObject {
    Q_OBJECT

private slots:
    void timeStamp_data();
    void timeStamp();
    void everyLineInOrder();
    void flushedAtDisconnectAndAtTheEnd();
    void writeFailureStopsTheRecord();
};

void tst_SessionRecord::timeStamp_data() {
    QTest::addColumn<qint64>("msecs");
    QTest::newRow("now") << QDateTime::currentMSecsSinceEpoch();
    QTest::newRow("whole second") << qint64(1700000000000);
    QTest::newRow("last millisecond of a year") << qint64(1704067199999);
    QTest::newRow("summer") << qint64(1719835200123);
    QTest::newRow("before 1970") << qint64(-86400001);
}

void tst_SessionRecord::timeStamp() {
    QFETCH(qint64, msecs);
    const QString stamp = SessionRecord::timeStamp(msecs);
    QVERIFY2(
        QRegularExpression(QLatin1Char('^') + Stamp + QLatin1Char('$')).match(stamp).hasMatch(),
        qPrintable(stamp));
    QCOMPARE(stampMSecs(stamp), msecs);
    // The local time of day, with the offset that holds then.
    QCOMPARE(stamp.mid(11, 12),
             QDateTime::fromMSecsSinceEpoch(msecs).time().toString(QStringLiteral("HH:mm:ss.zzz")));
}

void tst_SessionRecord::everyLineInOrder() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.log"));
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("an earlier session\n");
    }
    QCoreApplication::setApplicationName(QStringLiteral("VORN ZED8 Tester"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.4.13"));
    const qint64 start = QDateTime::currentMSecsSinceEpoch();
    SessionRecord record;
    QVERIFY(record.open(path));
    TesterFixture f(QStringLiteral("VORN ZED8 Tester"), QStringLiteral("1.4.13"));
    f.tester.reset();
    f.tester = std::make_unique<Tester>(f.socket, f.clock, f.serial, &record);
    Form1 &w = f.form();
    for (int i = 0; i < 300; ++i) {
        w.appendLog(QStringLiteral("line %1 \u00b5").arg(i));
        w.TrimTerminal();
    }
    QCOMPARE(w.ListBox->count(), 100);

    // The lines reach the file without anything else happening.
    QStringList expected;
    for (int i = 0; i < w.session.count(); ++i)
        expected << w.session.line(i);
    QCOMPARE(expected.size(), 301);
    QTRY_COMPARE(fileLines(path).size(), 2 + 301);
    const QStringList lines = fileLines(path);
    QCOMPARE(lines[0], QStringLiteral("an earlier session"));
    QVERIFY2(QRegularExpression(QStringLiteral("^VORN ZED8 Tester 1\\.4\\.13 started ") + Stamp +
                                QLatin1Char('$'))
                 .match(lines[1])
                 .hasMatch(),
             qPrintable(lines[1]));
    qint64 previous = start;
    for (int i = 0; i < expected.size(); ++i) {
        const QString &line = lines[i + 2];
        QCOMPARE(line.mid(30), expected[i]);
        QVERIFY2(
            QRegularExpression(QLatin1Char('^') + Stamp + QLatin1Char(' ')).match(line).hasMatch(),
            qPrintable(line));
        const qint64 at = stampMSecs(line);
        QVERIFY(at >= previous);
        previous = at;
    }
    QVERIFY(previous <= QDateTime::currentMSecsSinceEpoch());
    QVERIFY(lines[2].contains(QLatin1String("Timer resolution = ")));
}

void tst_SessionRecord::flushedAtDisconnectAndAtTheEnd() {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("record.log"));
    auto record = std::make_unique<SessionRecord>();
    QVERIFY(record->open(path));
    TesterFixture f;
    f.tester.reset();
    f.tester = std::make_unique<Tester>(f.socket, f.clock, f.serial, record.get());
    f.form().show();
    f.disconnectNow();
    // No event loop between the click and the look at the file.
    f.form().Disconnect->click();
    QCOMPARE(fileLines(path).last().mid(30), QStringLiteral("Disconnect"));
    f.form().appendLog(QStringLiteral("the last line"));
    f.tester.reset();
    record.reset();
    QCOMPARE(fileLines(path).last().mid(30), QStringLiteral("the last line"));
}

void tst_SessionRecord::writeFailureStopsTheRecord() {
#ifdef Q_OS_LINUX
    SessionRecord record;
    // Takes every open and no byte.
    QVERIFY(record.open(QStringLiteral("/dev/full")) || !record.errorString().isEmpty());
    record.write(QStringLiteral("a line"));
    record.flush();
    QVERIFY(!record.isOpen());
    // Further lines go nowhere, quietly.
    record.write(QStringLiteral("another line"));
    record.flush();
    QVERIFY(!record.isOpen());
#else
    QSKIP("needs /dev/full");
#endif
}

QTEST_MAIN(tst_SessionRecord)
#include "tst_sessionrecord.moc"
