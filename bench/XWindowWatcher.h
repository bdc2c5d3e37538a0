#pragma once

#include <QByteArray>
#include <QRect>

#include <cstdint>
#include <optional>

struct xcb_connection_t;

// Watches a program's window appear on an X display, from outside the program: the moment
// the server maps a new top-level window, and what its pixels show.
class XWindowWatcher {
public:
    explicit XWindowWatcher(const QByteArray &display);
    ~XWindowWatcher();
    XWindowWatcher(const XWindowWatcher &) = delete;
    XWindowWatcher &operator=(const XWindowWatcher &) = delete;

    bool isOpen() const { return m_connection != nullptr; }

    // Waits for the next top-level window to be mapped, until the monotonic deadline (ns).
    // Its id, or 0.
    std::uint32_t waitForMappedWindow(std::int64_t deadlineNs);
    // Whether the rectangle (window coordinates) holds a dark pixel, as text does; nothing
    // when the window cannot be read.
    std::optional<bool> showsDarkPixel(std::uint32_t window, const QRect &rect);

private:
    xcb_connection_t *m_connection = nullptr;
    std::uint32_t m_root = 0;
};
