#pragma once

#include <cstdint>

namespace tern {

// A 32-bit number from the operating system's cryptographically secure source (getrandom(2), falling
// back to /dev/urandom). Throws tern::Error when neither can deliver.
std::uint32_t SecureRandomUint32();

} // namespace tern
