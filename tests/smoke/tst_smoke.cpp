// Starts each built tester in an X server of its own (Xvfb), finds its window by caption as
// a window manager would, checks what the window system sees, drives a connection to a
// stand-in device on 127.0.0.1 with the mouse and keyboard, and saves a screenshot.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int SkipCode = 77;

// Where the design table puts the controls used here, in window pixels.
const QRect StateBox(96, 56, 97, 19);
const QPoint AddressBox(146, 19);
const QPoint PortBox(144, 41);
const QPoint ConnectButton(248, 20);
const QPoint DisconnectButton(248, 52);

// An X server on a display number it picks itself and reports once it accepts clients.
class VirtualDisplay {
public:
    ~VirtualDisplay() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }

    QString start() {
        int ready[2];
        if (::pipe(ready) != 0)
            return QStringLiteral("no pipe");
        ::fcntl(ready[0], F_SETFD, FD_CLOEXEC);
        const std::string fd = std::to_string(ready[1]);
        const char *argv[] = {"Xvfb",         "-displayfd", fd.c_str(), "-screen", "0",
                              "1280x1024x24", "-nolisten",  "tcp",      nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        const int failed = posix_spawnp(&m_pid, "Xvfb", &actions, nullptr,
                                        const_cast<char *const *>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(ready[1]);
        if (failed) {
            ::close(ready[0]);
            m_pid = -1;
            return QStringLiteral("Xvfb did not start");
        }
        QByteArray number;
        pollfd wait{ready[0], POLLIN, 0};
        while (!number.endsWith('\n') && ::poll(&wait, 1, 30000) > 0) {
            char c;
            if (::read(ready[0], &c, 1) != 1)
                break;
            number += c;
        }
        ::close(ready[0]);
        if (!number.endsWith('\n'))
            return QStringLiteral("Xvfb did not report a display");
        m_name = ":" + number.trimmed();
        return QString();
    }

    QByteArray name() const { return m_name; }

private:
    pid_t m_pid = -1;
    QByteArray m_name;
};

QString run(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(20000))
        return QString();
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

QString findWindow(const QString &caption) {
    const QString pattern =
        QLatin1Char('^') + QRegularExpression::escape(caption) + QLatin1Char('$');
    return run(QStringLiteral("xdotool"),
               {QStringLiteral("search"), QStringLiteral("--name"), pattern})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
        .value(0);
}

int field(const QString &text, const QString &label) {
    const QRegularExpression re(QRegularExpression::escape(label) +
                                QStringLiteral(":\\s*(-?\\d+)"));
    return re.match(text).captured(1).toInt();
}

// Clicks at a point of the window and then performs the given xdotool commands.
void clickAndDo(const QString &window, QPoint at, const QStringList &then = {}) {
    QStringList arguments{
        QStringLiteral("mousemove"), QStringLiteral("--window"), window,
        QString::number(at.x()),     QString::number(at.y()),    QStringLiteral("click"),
        QStringLiteral("1")};
    run(QStringLiteral("xdotool"), arguments + then);
}

double share(const QImage &image, const QRect &rect, const QColor &colour) {
    int matching = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            matching += image.pixelColor(x, y) == colour;
    return double(matching) / (rect.width() * rect.height());
}

bool hasDarkPixels(const QImage &image, const QRect &rect) {
    int dark = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            dark += image.pixelColor(x, y).lightness() < 100;
    return dark > 5;
}

} // namespace

class tst_Smoke : public QObject {
    Q_OBJECT

private slots:
    void testerWindow_data();
    void testerWindow();
};

void tst_Smoke::testerWindow_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("caption");
    QTest::newRow("GPI") << VORN_GPI_PROGRAM << VORN_GPI_CAPTION;
    QTest::newRow("ZED8") << VORN_ZED8_PROGRAM << VORN_ZED8_CAPTION;
}

void tst_Smoke::testerWindow() {
    QFETCH(QString, program);
    QFETCH(QString, caption);
    // Started from a folder that holds another library (the system's maths library) under Qt
    // Core's name: the tester takes its libraries from the system, or it would not start.
    Dl_info maths{};
    double (*cosine)(double) = &::cos;
    QVERIFY(::dladdr(reinterpret_cast<void *>(cosine), &maths) != 0 && maths.dli_fname);
    QTemporaryDir folder;
    QVERIFY(QFile::copy(QString::fromLocal8Bit(maths.dli_fname),
                        folder.filePath(QStringLiteral("libQt6Core.so.6"))));
    QProcess app;
    app.setProcessChannelMode(QProcess::ForwardedChannels);
    app.setWorkingDirectory(folder.path());
    app.start(program, {});
    QVERIFY2(app.waitForStarted(), qPrintable(program));
    auto stop = qScopeGuard([&app] {
        app.terminate();
        if (!app.waitForFinished(10000)) {
            app.kill();
            app.waitForFinished();
        }
    });

    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(!(window = findWindow(caption)).isEmpty(), 30000);

    // Size and place as the window system has them.
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), window});
    QCOMPARE(field(info, QStringLiteral("Width")), 496);
    QCOMPARE(field(info, QStringLiteral("Height")), 457);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(field(info, QStringLiteral("Absolute upper-left X")) -
                 (screen.width() - 496) / 2) <= 1);
    QVERIFY(qAbs(field(info, QStringLiteral("Absolute upper-left Y")) -
                 (screen.height() - 457) / 2) <= 1);

    // Caption, fixed size, no minimise or maximise, an icon in both sizes.
    const QString props = run(QStringLiteral("xprop"),
                              {QStringLiteral("-id"), window, QStringLiteral("_NET_WM_NAME"),
                               QStringLiteral("WM_NORMAL_HINTS"), QStringLiteral("_MOTIF_WM_HINTS"),
                               QStringLiteral("_NET_WM_ICON")});
    QVERIFY2(props.contains(QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"%1\"").arg(caption)),
             qPrintable(props.left(300)));
    QVERIFY(props.contains(QLatin1String("program specified minimum size: 496 by 457")));
    QVERIFY(props.contains(QLatin1String("program specified maximum size: 496 by 457")));
    QVERIFY(props.contains(QLatin1String("Icon (16 x 16)")));
    QVERIFY(props.contains(QLatin1String("Icon (32 x 32)")));
    const QRegularExpressionMatch motif =
        QRegularExpression(
            QStringLiteral("_MOTIF_WM_HINTS\\) = (0x[0-9a-f]+), (0x[0-9a-f]+), (0x[0-9a-f]+)"))
            .match(props);
    QVERIFY2(motif.hasMatch(), "no window manager hints");
    const uint flags = motif.captured(1).toUInt(nullptr, 16);
    const uint functions = motif.captured(2).toUInt(nullptr, 16);
    const uint decorations = motif.captured(3).toUInt(nullptr, 16);
    QVERIFY((flags & 1) && (flags & 2));
    QCOMPARE(functions & (0x1 | 0x8 | 0x10), 0u);    // all, minimise, maximise
    QCOMPARE(decorations & (0x1 | 0x20 | 0x40), 0u); // all, minimise, maximise

    // The first link-status tick writes "Closed" into the state box.
    QScreen *display = QGuiApplication::primaryScreen();
    const WId id = window.toULongLong();
    auto grab = [&] { return display->grabWindow(id).toImage(); };
    QTRY_VERIFY_WITH_TIMEOUT(hasDarkPixels(grab(), StateBox), 30000);

    // Connect to a device on 127.0.0.1 as an operator would.
    QTcpServer device;
    QVERIFY(device.listen(QHostAddress::LocalHost, 0));
    clickAndDo(window, AddressBox, {"key", "ctrl+a", "type", "127.0.0.1"});
    clickAndDo(window, PortBox, {"key", "ctrl+a", "type", QString::number(device.serverPort())});
    clickAndDo(window, ConnectButton);
    QTRY_VERIFY_WITH_TIMEOUT(device.hasPendingConnections(), 30000);
    QTcpSocket *far = device.nextPendingConnection();
    QTRY_VERIFY_WITH_TIMEOUT(share(grab(), StateBox, QColor(0, 255, 0)) > 0.5, 30000);

    const QString shot = QDir::current().absoluteFilePath(QFileInfo(program).fileName() + ".png");
    QVERIFY(grab().save(shot));
    qInfo("screenshot: %s", qPrintable(shot));

    // And down again.
    clickAndDo(window, DisconnectButton);
    QTRY_COMPARE_WITH_TIMEOUT(far->state(), QAbstractSocket::UnconnectedState, 30000);
    QTRY_VERIFY_WITH_TIMEOUT(share(grab(), StateBox, QColor(255, 255, 255)) > 0.5, 30000);
    QCOMPARE(app.state(), QProcess::Running);
}

int main(int argc, char *argv[]) {
    for (const char *tool : {"Xvfb", "xdotool", "xwininfo", "xprop"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty()) {
            std::printf("SKIP: %s is not installed (see .ci/packages.txt)\n", tool);
            return SkipCode;
        }
    }
    VirtualDisplay display;
    const QString failure = display.start();
    if (!failure.isEmpty()) {
        std::printf("FAIL: %s\n", qPrintable(failure));
        return 1;
    }
    qputenv("DISPLAY", display.name());
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("QT_SCALE_FACTOR");
    qunsetenv("WAYLAND_DISPLAY");
    QApplication app(argc, argv);
    tst_Smoke test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_smoke.moc"
