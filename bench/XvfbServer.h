#pragma once

#include <QByteArray>

#include <sys/types.h>

// A private virtual X server for the start-up benchmark, on a display number it picks itself,
// with a white root window so that a window's first paint shows against it.
class XvfbServer {
public:
    ~XvfbServer() { stop(); }

    bool start();
    void stop();
    // ":N", valid after start().
    QByteArray display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QByteArray m_display;
};
