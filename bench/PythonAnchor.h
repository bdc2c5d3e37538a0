#pragma once

#include "RawFloodReader.h"

#include <QProcess>
#include <QString>

#include <cstdint>
#include <vector>

// The program a user would write instead of the tester: bench/python/anchor.py, a few lines of
// Python's socket module run by the system's python3, connected to 127.0.0.1. It echoes every
// byte, or reads a flood and reports each read when the device closes the connection.
class PythonAnchor {
public:
    // python3 from PATH, or empty when there is none.
    static QString interpreter();

    // Starts the script in mode "echo" or "flood" against the port; false when it cannot run.
    bool start(const QString &mode, std::uint16_t port);
    // Waits until the script ends (the device has closed the connection): false when it did
    // not end well. A flood's reads are in arrivals() afterwards.
    bool finish();
    const std::vector<Arrival> &arrivals() const { return m_arrivals; }
    QString error() const { return m_error; }

private:
    QProcess m_process;
    std::vector<Arrival> m_arrivals;
    QString m_error;
};
