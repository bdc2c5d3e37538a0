#pragma once

#include <cstddef>
#include <cstdint>

// Plain POSIX sockets, no Qt: the baselines' side of the loopback.

// A blocking TCP connection to 127.0.0.1:port with Nagle's delay off, or -1.
int connectLoopback(std::uint16_t port);

// Writes all of it, retrying short writes; false when the connection is gone.
bool writeAll(int fd, const void *data, std::size_t size);
