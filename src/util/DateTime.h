#pragma once

#include <chrono>

namespace tern {

// A date-time as days since 30 December 1899 (midnight), the fraction being the time of day.
using DateTime = double;

// The date-time of a point in time, in UTC.
DateTime ToDateTime(std::chrono::system_clock::time_point time) noexcept;

// The current date-time.
inline DateTime CurrentDateTime() noexcept
{
    return ToDateTime(std::chrono::system_clock::now());
}

} // namespace tern
