#include "Tester.h"
#include "WindowIcon.h"
#include "platform/EventDispatcher.h"
#include "platform/FontDatabaseLoader.h"
#include "platform/SerialPortDevice.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QAccessible>
#include <QApplication>

int main(int argc, char *argv[]) {
    chooseEventDispatcher();
    FontDatabaseLoader fonts;
    QApplication app(argc, argv);
    fonts.applicationStarted();
    QApplication::setApplicationName(QStringLiteral(VORN_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(VORN_VERSION));
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
    Tester tester(socket, clock, serial);
    tester.form().show();
    return app.exec();
}
