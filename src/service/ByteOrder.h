#pragma once

#include <cstdint>
#include <cstring>

namespace tern {

// Little-endian integers in byte buffers. The caller guarantees that the bytes are there.
inline std::uint32_t GetLe32(const void* at) noexcept
{
    unsigned char b[4];
    std::memcpy(b, at, 4);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

inline void PutLe32(void* at, std::uint32_t value) noexcept
{
    const unsigned char b[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                static_cast<unsigned char>(value >> 16),
                                static_cast<unsigned char>(value >> 24)};
    std::memcpy(at, b, 4);
}

} // namespace tern
