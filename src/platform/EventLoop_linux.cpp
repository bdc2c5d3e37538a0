#include "EventLoop.h"

#include <QByteArray>

void chooseEventLoop() {
    // Qt runs its event loop on GLib's main loop when GLib is there; its own loop wakes for a
    // socket that became readable in about half the time, and the tester's echo and every
    // message from the box wait for that wake. Qt reads this when the application object
    // makes its event dispatcher.
    qputenv("QT_NO_GLIB", "1");
}

bool nativeFileDialogs() {
    // A GTK file dialog (under a GTK platform theme) is driven by GLib's main loop, which
    // the tester does not run: Qt's own dialog is shown instead.
    return false;
}
