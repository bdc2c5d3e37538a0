#include "XWindowWatcher.h"

#include "BenchClock.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <poll.h>

XWindowWatcher::XWindowWatcher(const QByteArray &display) {
    xcb_connection_t *connection = xcb_connect(display.constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    // Creation and mapping of the root's children are reported to every client that asks.
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

XWindowWatcher::~XWindowWatcher() {
    if (m_connection)
        xcb_disconnect(m_connection);
}

std::uint32_t XWindowWatcher::waitForMappedWindow(std::int64_t deadlineNs) {
    if (!m_connection)
        return 0;
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            std::uint32_t mapped = 0;
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
                const auto *notify = reinterpret_cast<xcb_map_notify_event_t *>(event);
                if (!notify->override_redirect)
                    mapped = notify->window;
            }
            std::free(event);
            if (mapped != 0)
                return mapped;
        }
        const std::int64_t left = deadlineNs - nowNs();
        if (left <= 0 || xcb_connection_has_error(m_connection))
            return 0;
        pollfd readable{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&readable, 1, int(std::max<std::int64_t>(1, left / 1000000)));
    }
}

std::optional<bool> XWindowWatcher::showsDarkPixel(std::uint32_t window, const QRect &rect) {
    if (!m_connection)
        return std::nullopt;
    const xcb_get_image_cookie_t cookie = xcb_get_image(
        m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, std::int16_t(rect.x()),
        std::int16_t(rect.y()), std::uint16_t(rect.width()), std::uint16_t(rect.height()), ~0u);
    xcb_generic_error_t *error = nullptr;
    xcb_get_image_reply_t *reply = xcb_get_image_reply(m_connection, cookie, &error);
    std::free(error);
    if (!reply)
        return std::nullopt;
    const std::uint8_t *data = xcb_get_image_data(reply);
    const int length = xcb_get_image_data_length(reply);
    const int pixels = rect.width() * rect.height();
    bool dark = false;
    // A 24-bit screen stores a pixel in four bytes, blue, green, red and one unused.
    if (reply->depth == 24 && length >= pixels * 4) {
        for (int i = 0; i < pixels && !dark; ++i) {
            const std::uint8_t *p = data + 4 * i;
            dark = std::max({p[0], p[1], p[2]}) < 96;
        }
    }
    std::free(reply);
    return dark;
}
