#include "LoopbackPorts.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

quint16 closedPort() {
    // The port a listener had is free again once it is gone.
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

FullListener::FullListener() : m_listener(std::make_unique<QTcpServer>()) {
    // Never accepting, with no room for a waiting connection.
    m_listener->setMaxPendingConnections(0);
    m_listener->setListenBacklogSize(0);
    if (!m_listener->listen(QHostAddress::LocalHost, 0))
        return;
    // A backlog of 0 still takes a connection or two; these fill it.
    for (int i = 0; i < 3; ++i) {
        auto filler = std::make_unique<QTcpSocket>();
        filler->connectToHost(QHostAddress::LocalHost, m_listener->serverPort());
        m_fillers.push_back(std::move(filler));
    }
    m_port = m_listener->serverPort();
}

FullListener::~FullListener() = default;
