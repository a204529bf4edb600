#pragma once

#include <chrono>
#include <functional>

namespace tern {

// A source of monotonic time. Empty means std::chrono::steady_clock; tests inject their own so that
// timed loops end at once.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

inline std::chrono::steady_clock::time_point ClockNow(const MonotonicClock& clock)
{
    return clock ? clock() : std::chrono::steady_clock::now();
}

} // namespace tern
