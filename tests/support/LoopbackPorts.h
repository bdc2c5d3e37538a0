#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

class QTcpServer;
class QTcpSocket;

// Ports on 127.0.0.1 that do not answer as a device would.

// A port where nothing listens: a connect to it is refused.
quint16 closedPort();

// A listener whose accept queue is full, so that further connection requests are dropped
// and a connect to it stays unanswered. Port 0 when it could not be set up.
class FullListener {
public:
    FullListener();
    ~FullListener();
    FullListener(const FullListener &) = delete;
    FullListener &operator=(const FullListener &) = delete;

    quint16 port() const { return m_port; }

private:
    std::unique_ptr<QTcpServer> m_listener;
    quint16 m_port = 0;
    std::vector<std::unique_ptr<QTcpSocket>> m_fillers;
};
