// Sending without the detour of an asynchronous write: most frames fit into
// the socket's buffer at once, and an asynchronous write would cost the I/O
// thread an extra round through its event loop for each of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace termlink {

// Sends what `fd` takes of `bytes` now, without blocking. Returns the count
// sent; sets `error` (and returns what was sent before) when the connection
// failed.
size_t SendNow(int fd, std::span<const uint8_t> bytes, std::string& error);

}  // namespace termlink
