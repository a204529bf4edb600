#pragma once

#include <cstdint>

namespace tern {

// A 32-bit number from the operating system's cryptographically secure source: on Linux getrandom(2),
// falling back to /dev/urandom; on Windows BCryptGenRandom. Throws tern::Error when none delivers.
std::uint32_t SecureRandomUint32();

} // namespace tern
