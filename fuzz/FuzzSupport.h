#pragma once

#include "service/MonotonicClock.h"
#include "service/PasswordDigest.h"

#include <memory>
#include <string>

namespace tern::fuzz {

// Opening a container waits on its password check; a clock that jumps a second per reading ends
// that wait at once.
inline MonotonicClock JumpingClock()
{
    auto now = std::make_shared<std::chrono::steady_clock::time_point>();
    return [now] { return *now += std::chrono::seconds(1); };
}

// The password value the seed corpus was made with.
inline const std::string& FuzzPassword()
{
    static const std::string value = PasswordDigest("fuzz");
    return value;
}

} // namespace tern::fuzz
