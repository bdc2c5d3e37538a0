#include "SessionRecord.h"
#include "StartupOptions.h"
#include "Tester.h"
#include "WindowIcon.h"
#include "platform/EventLoop.h"
#include "platform/SerialPortDevice.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char *argv[]) {
    chooseEventLoop();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(VORN_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(VORN_VERSION));

    const StartupOptions options = parseStartupOptions(QCoreApplication::arguments());
    switch (options.outcome) {
    case StartupOptions::Outcome::Run:
        break;
    case StartupOptions::Outcome::ShowHelp:
    case StartupOptions::Outcome::ShowVersion:
        print(stdout, options.text);
        return 0;
    case StartupOptions::Outcome::ShowFullHelp:
        showFullHelp(QCoreApplication::arguments());
    case StartupOptions::Outcome::Fail:
        print(stderr, options.text);
        return 2;
    }
    SessionRecord record;
    if (options.record && !record.open(*options.record)) {
        print(stderr, QStringLiteral("%1: cannot open the session record %2 for appending: %3\n")
                          .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName(),
                               QDir::toNativeSeparators(*options.record), record.errorString()));
        return 2;
    }

    // Lets the desktop match the window to its launcher, which carries the program's name.
    QGuiApplication::setDesktopFileName(QStringLiteral(VORN_ICON));
    QApplication::setWindowIcon(loadWindowIcon(QStringLiteral(VORN_ICON)));

    SystemClock clock;
    TcpDeviceSocket socket;
    SerialPortDevice serial;
    Tester tester(socket, clock, serial, record.isOpen() ? &record : nullptr);
    tester.form().show();
    applyStartupOptions(options, tester);
    return app.exec();
}
