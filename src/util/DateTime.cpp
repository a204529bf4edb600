#include "util/DateTime.h"

namespace tern {

DateTime ToDateTime(std::chrono::system_clock::time_point time) noexcept
{
    // 25569 days lie between 30 December 1899 and 1 January 1970.
    constexpr double kUnixEpochDays = 25569.0;
    const double seconds = std::chrono::duration<double>(time.time_since_epoch()).count();
    return kUnixEpochDays + seconds / 86400.0;
}

} // namespace tern
