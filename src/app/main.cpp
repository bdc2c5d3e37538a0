#include "Tester.h"
#include "platform/SerialPortDevice.h"
#include "platform/SystemClock.h"
#include "platform/TcpDeviceSocket.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(VORN_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(VORN_VERSION));
    // Lets the desktop match the window to its launcher, which carries the program's name.
    QGuiApplication::setDesktopFileName(QStringLiteral(VORN_ICON));
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/" VORN_ICON "-16.xpm"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/" VORN_ICON "-32.xpm"), QSize(32, 32));
    QApplication::setWindowIcon(icon);

    SystemClock clock;
    TcpDeviceSocket socket;
    SerialPortDevice serial;
    Tester tester(socket, clock, serial);
    tester.form().show();
    return app.exec();
}
