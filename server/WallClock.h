#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace tern::server {

// Seconds since the Unix epoch. Every server sharing a database must agree on it, so it is the
// system's clock; tests pass one that moves only when they say so.
using WallClock = std::function<std::int64_t()>;

inline std::int64_t SystemSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace tern::server
