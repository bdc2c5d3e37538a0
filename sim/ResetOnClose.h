#pragma once

class QAbstractSocket;

namespace sim {

// Makes the socket's next close a reset (a zero linger time) rather than an orderly close.
void resetOnClose(QAbstractSocket &socket);

} // namespace sim
