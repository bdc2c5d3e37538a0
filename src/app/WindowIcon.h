#pragma once

#include <QIcon>
#include <QString>

// The program's window icon, from its 16 and 32 pixel pictures in the resources
// (":/icons/<name>-16.xpm" and "-32.xpm").
QIcon loadWindowIcon(const QString &name);
