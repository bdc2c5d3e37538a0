#include "EventDispatcher.h"

#include <QByteArray>
#include <QtGlobal>

void chooseEventDispatcher() {
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
}
