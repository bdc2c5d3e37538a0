#include "TesterFixture.h"
#include "window/Stamps.h"

#include <QtTest>

namespace {

constexpr double Frequency = 10e6; // ticks per second of the fake clock

// Counter ticks for a time in seconds, exact for the examples used here.
double ticks(double seconds) {
    return std::round(seconds * Frequency);
}

// Restores the default locale when a test changes it.
struct DefaultLocale {
    explicit DefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(QLocale::c()); }
};

} // namespace

class tst_Log : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void trim_data();
    void trim();
    void counterAsDouble_data();
    void counterAsDouble();
    void stamps_data();
    void stamps();
    void prefixesFromState_data();
    void prefixesFromState();
    void timerResolutionLine_data();
    void timerResolutionLine();
    void startupWithRealClockFrequency();
    void zeroFrequency();
    void numbersAsTheLocaleWritesThem_data();
    void numbersAsTheLocaleWritesThem();
};

void tst_Log::trim_data() {
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("appended");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0 << 0 << QString() << 0;
    QTest::newRow("one line") << 0 << 1 << "line 0" << 1;
    QTest::newRow("exactly 100") << 99 << 1 << "line 0" << 100;
    QTest::newRow("101st line") << 100 << 1 << "line 1" << 100;
    QTest::newRow("several by one operation") << 98 << 5 << "line 3" << 100;
    QTest::newRow("long surplus") << 100 << 250 << "line 250" << 100;
}

void tst_Log::trim() {
    QFETCH(int, before);
    QFETCH(int, appended);
    QFETCH(QString, first);
    QFETCH(int, count);
    TesterFixture f;
    Form1 &w = f.form();
    w.ListBox->clear();
    for (int i = 0; i < before; ++i)
        w.appendLog(QStringLiteral("line %1").arg(i));
    w.TrimTerminal();
    for (int i = before; i < before + appended; ++i)
        w.appendLog(QStringLiteral("line %1").arg(i));
    // Between an append and the trim the log may be longer.
    QCOMPARE(w.ListBox->count(), before + appended);
    w.TrimTerminal();

    QCOMPARE(w.ListBox->count(), count);
    if (count == 0) {
        QCOMPARE(w.ListBox->currentRow(), -1);
        return;
    }
    QCOMPARE(w.ListBox->text(0), first);
    // Oldest first, in order, the newest last and selected.
    const int firstIndex = first.mid(5).toInt();
    for (int i = 0; i < count; ++i)
        QCOMPARE(w.ListBox->text(i), QStringLiteral("line %1").arg(firstIndex + i));
    QCOMPARE(w.ListBox->currentRow(), count - 1);
}

void tst_Log::counterAsDouble_data() {
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<double>("value");
    QTest::newRow("zero") << 0 << 0 << 0.0;
    QTest::newRow("low all ones") << -1 << 0 << 4294967295.0;
    QTest::newRow("five and one") << 5 << 1 << 4294967301.0;
    QTest::newRow("high all ones") << 0 << -1 << 4294967295.0 * 4294967296.0;
    QTest::newRow("low sign bit") << int(0x80000000u) << 0 << 2147483648.0;
    QTest::newRow("largest exact") << 0 << 0x200000 << 9007199254740992.0;
}

void tst_Log::counterAsDouble() {
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(double, value);
    QCOMPARE(CounterAsDouble(low, high), value);
}

void tst_Log::stamps_data() {
    QTest::addColumn<double>("sinceConnect");
    QTest::addColumn<double>("sincePrevious");
    QTest::addColumn<QString>("width8");
    QTest::addColumn<QString>("width9");
    QTest::addColumn<QString>("previous");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("wide");
    // Seconds since Connect and since the previous arrival; then the stamps at width 8 and
    // 9, the previous-arrival stamp, and the standard and wide prefixes built from them.
    const auto row = [](const char *name, double since, double previous, const QStringList &texts) {
        QTest::newRow(name) << since << previous << texts[0] << texts[1] << texts[2] << texts[3]
                            << texts[4];
    };
    row("first arrival after half a second", 0.5, 0.5,
        {"   0.500", "    0.500", " (0.500)", "   0.500 (0.500)", "    0.500 (0.500)"});
    row("example", 12.3456, 0.1204,
        {"  12.346", "   12.346", " (0.120)", "  12.346 (0.120)", "   12.346 (0.120)"});
    // Numbers too long for their fields widen them; no digit is lost.
    row("five digits at width 8", 12345.6789, 1.0,
        {"12345.679", "12345.679", " (1.000)", "12345.679 (1.000)", "12345.679 (1.000)"});
    row("six digits at width 9", 123456.789, 1.0,
        {"123456.789", "123456.789", " (1.000)", "123456.789 (1.000)", "123456.789 (1.000)"});
    row("four digits since the previous", 5000.0, 1234.5671,
        {"5000.000", " 5000.000", " (1234.567)", "5000.0001234.567)", " 5000.000 (1234.567)"});
    row("ten seconds lose the blank", 20.0, 10.0,
        {"  20.000", "   20.000", " (10.000)", "  20.000(10.000)", "   20.000 (10.000)"});
    row("a hundred lose the parenthesis", 200.0, 123.4567,
        {" 200.000", "  200.000", " (123.457)", " 200.000123.457)", "  200.000 (123.457)"});
    row("zero", 0.0, 0.0,
        {"   0.000", "    0.000", " (0.000)", "   0.000 (0.000)", "    0.000 (0.000)"});
}

void tst_Log::stamps() {
    QFETCH(double, sinceConnect);
    QFETCH(double, sincePrevious);
    QFETCH(QString, width8);
    QFETCH(QString, width9);
    QFETCH(QString, previous);
    QFETCH(QString, standard);
    QFETCH(QString, wide);
    const double connect = 1e9;
    const double arrival = connect + ticks(sinceConnect);
    const double prevArrival = arrival - ticks(sincePrevious);
    QCOMPARE(SinceConnectStamp(arrival, connect, Frequency, 8), width8);
    QCOMPARE(SinceConnectStamp(arrival, connect, Frequency, 9), width9);
    QCOMPARE(SincePreviousStamp(arrival, prevArrival, Frequency), previous);
    QCOMPARE(StandardPrefix(arrival, connect, prevArrival, Frequency), standard);
    QCOMPARE(WidePrefix(arrival, connect, prevArrival, Frequency), wide);
}

void tst_Log::prefixesFromState_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("standard");
    QTest::addColumn<QString>("wide");
    QTest::addColumn<QString>("response");
    const auto row = [](const char *locale, const char *standard, const char *wide,
                        const char *response) {
        QTest::newRow(locale) << locale << standard << wide << response;
    };
    row("C", "   0.500 (0.500)", "    0.500 (0.500)", "(12.3mS)");
    row("en_US", "   0.500 (0.500)", "    0.500 (0.500)", "(12.3mS)");
    row("de_DE", "   0,500 (0,500)", "    0,500 (0,500)", "(12,3mS)");
    // Digits of its own: Qt writes the numbers, the stamps pad and cut them all the same.
    row("ar_EG", "   \u0660\u066b\u0665\u0660\u0660 (\u0660\u066b\u0665\u0660\u0660)",
        "    \u0660\u066b\u0665\u0660\u0660 (\u0660\u066b\u0665\u0660\u0660)",
        "(\u0661\u0662\u066b\u0663mS)");
}

void tst_Log::prefixesFromState() {
    QFETCH(QString, locale);
    QFETCH(QString, standard);
    QFETCH(QString, wide);
    QFETCH(QString, response);
    DefaultLocale scope{QLocale(locale)};
    TesterFixture f;
    Form1 &w = f.form();
    TesterState &s = w.state;
    s.ConnectCount = 5e8;
    s.PrevArrivalCount = s.ConnectCount;
    s.ArrivalCount = s.ConnectCount + ticks(0.5);
    s.RequestSentCount = 7e8;
    s.ResponseCount = s.RequestSentCount + ticks(0.01234);
    QCOMPARE(w.standardPrefix(), standard);
    QCOMPARE(w.widePrefix(), wide);
    QCOMPARE(w.responseTimeStamp(), response);
}

void tst_Log::timerResolutionLine_data() {
    QTest::addColumn<double>("frequency");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("line");
    const auto row = [](const char *name, double frequency, const char *locale, const char *line) {
        QTest::newRow(name) << frequency << QString::fromLatin1(locale)
                            << QStringLiteral("Timer resolution = ") + QLatin1String(line);
    };
    row("3.58 MHz", 3579545.0, "en_US", "279.4ns (3.6MHz)");
    row("10 MHz", 10e6, "en_US", "100.0ns (10.0MHz)");
    row("2.53 GHz", 2531249000.0, "en_US", "0.4ns (2,531.2MHz)");
    row("2.53 GHz German", 2531249000.0, "de_DE", "0,4ns (2.531,2MHz)");
    row("nanosecond counter", 1e9, "en_US", "1.0ns (1,000.0MHz)");
    row("1 kHz", 1000.0, "en_US", "1000000.0ns (0.0MHz)");
}

void tst_Log::timerResolutionLine() {
    QFETCH(double, frequency);
    QFETCH(QString, locale);
    QFETCH(QString, line);
    QCOMPARE(TimerResolutionLine(frequency, QLocale(locale)), line);
}

// The whole tester on a fake clock of the given frequency.
struct ClockedTester {
    explicit ClockedTester(qint64 frequency) {
        QCoreApplication::setApplicationName(QStringLiteral("VORN GPI Tester"));
        QCoreApplication::setApplicationVersion(QStringLiteral("1.4.14"));
        clock.frequency = frequency;
        tester = std::make_unique<Tester>(socket, clock, serial);
    }
    QStringList log() const {
        QStringList lines;
        for (int i = 0; i < tester->form().ListBox->count(); ++i)
            lines << tester->form().ListBox->text(i);
        return lines;
    }
    FakeDeviceSocket socket;
    FakeClock clock;
    FakeSerialPort serial;
    std::unique_ptr<Tester> tester;
};

void tst_Log::startupWithRealClockFrequency() {
    // The real clock counts nanoseconds; its start-up line says so, in the user's locale.
    DefaultLocale scope{QLocale(QLocale::German, QLocale::Germany)};
    ClockedTester t(1000000000);
    QCOMPARE(t.log(), QStringList{"Timer resolution = 1,0ns (1.000,0MHz)"});
}

void tst_Log::zeroFrequency() {
    // A platform without a high-resolution counter: say so once, and stamp zero times
    // rather than dividing by zero.
    QCOMPARE(TimerResolutionLine(0.0), QStringLiteral("Timer resolution = unknown (no "
                                                      "high-resolution counter)"));
    ClockedTester t(0);
    Form1 &w = t.tester->form();
    QCOMPARE(t.log(), QStringList{TimerResolutionLine(0.0)});
    QCOMPARE(w.state.CounterFrequency, 0.0);
    w.state.ConnectCount = 1;
    w.state.ArrivalCount = 5e9;
    w.state.PrevArrivalCount = 2;
    w.state.ResponseCount = 7e9;
    QCOMPARE(w.standardPrefix(), QStringLiteral("   0.000 (0.000)"));
    QCOMPARE(w.widePrefix(), QStringLiteral("    0.000 (0.000)"));
    QCOMPARE(w.responseTimeStamp(), QStringLiteral("(0.0mS)"));
}

void tst_Log::numbersAsTheLocaleWritesThem_data() {
    QTest::addColumn<QString>("locale");
    for (const char *name : {"C", "en_US", "de_DE", "fr_FR", "hi_IN", "ar_EG", "fa_IR"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

// The stamps' numbers are written without the locale's general conversion where they can be;
// every one must still read as the locale writes it, halves, edges and symbols included.
void tst_Log::numbersAsTheLocaleWritesThem() {
    QFETCH(QString, locale);
    QLocale symbols(locale);
    symbols.setNumberOptions(symbols.numberOptions() | QLocale::OmitGroupSeparator);
    QList<double> values = {0,
                            0.0005,
                            0.0015,
                            0.0625,
                            0.1875,
                            0.3125,
                            1.0625,
                            0.25,
                            0.05,
                            0.15,
                            999.9995,
                            1234.5625,
                            8.4265,
                            5e-324,
                            999999999999.9,
                            1e12,
                            -0.0,
                            -1.5,
                            std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 20000; ++i)
        values << i * 0.0001 + i * 1e-7 << i / 16.0 << i / 2000.0;
    for (double value : values) {
        QCOMPARE(SinceConnectStamp(value, 0, 1, 0, QLocale(locale)),
                 symbols.toString(value, 'f', 3));
        QCOMPARE(ResponseTimeStamp(value, 0, 1, QLocale(locale)),
                 QLatin1Char('(') + symbols.toString(value * 1000, 'f', 1) + QLatin1String("mS)"));
    }
}

QTEST_MAIN(tst_Log)
#include "tst_log.moc"
