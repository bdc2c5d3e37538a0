#include "SessionRecord.h"
#include "StartupOptions.h"
#include "Tester.h"
#include "WindowIcon.h"
#include "platform/FontDatabaseLoader.h"
#include "platform/SerialPortDevice.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

void print(std::FILE *stream, const QString &text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
}

} // namespace

int main(int argc, char *argv[]) {
    FontDatabaseLoader fonts;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(VORN_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(VORN_VERSION));

    // Read before the fonts are listed: a program that only prints leaves the loader with the
    // configuration read, and the application object is not gone from under it.
    const StartupOptions options = parseStartupOptions(QCoreApplication::arguments());
    switch (options.outcome) {
    case StartupOptions::Outcome::Run:
        break;
    case StartupOptions::Outcome::ShowHelp:
    case StartupOptions::Outcome::ShowVersion:
        print(stdout, options.text);
        return 0;
    case StartupOptions::Outcome::ShowFullHelp:
        fonts.wait();
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
    fonts.applicationStarted();

    // Lets the desktop match the window to its launcher, which carries the program's name.
    QGuiApplication::setDesktopFileName(QStringLiteral(VORN_ICON));
    // Qt sets up its accessibility when the first control gets its text, and waits for the
    // session bus to answer; asked for here, that wait overlaps the listing of the fonts.
    QAccessible::isActive();
    QApplication::setWindowIcon(loadWindowIcon(QStringLiteral(VORN_ICON)));

    fonts.wait();

    SystemClock clock;
    TcpDeviceSocket socket;
    SerialPortDevice serial;
    Tester tester(socket, clock, serial, record.isOpen() ? &record : nullptr);
    tester.form().show();
    applyStartupOptions(options, tester);
    return app.exec();
}
