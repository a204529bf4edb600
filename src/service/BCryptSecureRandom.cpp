#include "service/SecureRandom.h"

#include "util/Errors.h"

#include <windows.h>

#include <bcrypt.h>

namespace tern {

// Windows: the system's preferred random number generator (BCryptGenRandom), which needs no
// algorithm handle of its own.
std::uint32_t SecureRandomUint32()
{
    std::uint32_t value = 0;
    const NTSTATUS status = BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(&value), sizeof value,
                                            BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status < 0)
        throw Error("No secure random numbers are available");
    return value;
}

} // namespace tern
