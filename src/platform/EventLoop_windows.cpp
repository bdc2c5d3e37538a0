#include "EventLoop.h"

void chooseEventLoop() {
    // Qt's Windows event dispatcher is the only one there is.
}

bool nativeFileDialogs() {
    return true;
}
