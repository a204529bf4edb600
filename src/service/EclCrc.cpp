#include "service/EclCrc.h"

#include <zlib.h>

namespace tern {

std::uint32_t EclCrc(const void* data, std::size_t size, std::uint32_t crc) noexcept
{
    // zlib's crc32 inverts the register on entry and on exit; inverting around it gives the plain
    // register update with zlib's fast table code.
    const uLong zlibCrc =
        crc32_z(~static_cast<uLong>(crc) & 0xFFFFFFFFu, static_cast<const Bytef*>(data), size);
    return ~static_cast<std::uint32_t>(zlibCrc);
}

} // namespace tern
