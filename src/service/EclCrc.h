#pragma once

#include <cstddef>
#include <cstdint>

namespace tern {

// The container's 32-bit CRC: reflected IEEE 802.3 polynomial (0xEDB88320), register starting at
// `crc` (0 for a fresh sum), no inversion before or after. "abc" gives 0xCA6598D0.
std::uint32_t EclCrc(const void* data, std::size_t size, std::uint32_t crc = 0) noexcept;

} // namespace tern
