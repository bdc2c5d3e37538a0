#include "Tester.h"
#include "WindowIcon.h"
#include "platform/SerialPortDevice.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(VORN_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(VORN_VERSION));
    // Lets the desktop match the window to its launcher, which carries the program's name.
    QGuiApplication::setDesktopFileName(QStringLiteral(VORN_ICON));
    QApplication::setWindowIcon(loadWindowIcon(QStringLiteral(VORN_ICON)));

    SystemClock clock;
    TcpDeviceSocket socket;
    SerialPortDevice serial;
    Tester tester(socket, clock, serial);
    tester.form().show();
    return app.exec();
}
