#include "ResetOnClose.h"

#include <QAbstractSocket>

#include <sys/socket.h>

void sim::resetOnClose(QAbstractSocket &socket) {
    const linger immediately{1, 0};
    ::setsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &immediately,
                 sizeof(immediately));
}
