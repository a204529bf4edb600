#pragma once

#include "service/MonotonicClock.h"
#include "service/PasswordDigest.h"

#include <memory>
#include <string>

namespace tern::fuzz {

// The password value the seed corpus was made with.
inline const std::string& FuzzPassword()
{
    static const std::string value = PasswordDigest("fuzz");
    return value;
}

} // namespace tern::fuzz
