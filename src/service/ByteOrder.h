#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

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

inline std::uint16_t GetLe16(const void* at) noexcept
{
    unsigned char b[2];
    std::memcpy(b, at, 2);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

// The same, at `offset` bytes into `data`.
inline std::uint32_t GetLe32(std::string_view data, std::size_t offset) noexcept
{
    return GetLe32(data.data() + offset);
}

inline std::uint16_t GetLe16(std::string_view data, std::size_t offset) noexcept
{
    return GetLe16(data.data() + offset);
}

// Appends `value` to `out` in little-endian byte order.
inline void AppendLe32(std::string& out, std::uint32_t value)
{
    char b[4];
    PutLe32(b, value);
    out.append(b, 4);
}

inline void AppendLe16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

} // namespace tern
