#include "ResetOnClose.h"

#include <QAbstractSocket>

#include <winsock2.h>

void sim::resetOnClose(QAbstractSocket &socket) {
    const linger immediately{1, 0};
    setsockopt(SOCKET(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER,
               reinterpret_cast<const char *>(&immediately), sizeof(immediately));
}
