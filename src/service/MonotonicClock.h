#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace tern {

// A source of monotonic time. Empty means std::chrono::steady_clock; tests inject their own so that
// timed loops end at once.
using MonotonicClock = std::function<std::chrono::steady_clock::time_point()>;

inline std::chrono::steady_clock::time_point ClockNow(const MonotonicClock& clock)
{
    return clock ? clock() : std::chrono::steady_clock::now();
}

// A clock that jumps a second at every reading, for tests and fuzzing: a timed wait on it (the
// password check's minimum time, say) ends at once.
inline MonotonicClock JumpingClock()
{
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    return [now] { return *now += std::chrono::seconds(1); };
}

} // namespace tern
