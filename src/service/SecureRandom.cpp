#include "service/SecureRandom.h"

#include "util/Errors.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include <sys/random.h>

namespace tern {

namespace {

bool fromGetrandom(void* buffer, size_t size)
{
    auto* bytes = static_cast<unsigned char*>(buffer);
    size_t done = 0;
    while (done < size) {
        const ssize_t got = getrandom(bytes + done, size - done, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

bool fromUrandom(void* buffer, size_t size)
{
    std::ifstream source("/dev/urandom", std::ios::binary);
    return source.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size)).good();
}

} // namespace

std::uint32_t SecureRandomUint32()
{
    std::uint32_t value = 0;
    if (!fromGetrandom(&value, sizeof value) && !fromUrandom(&value, sizeof value))
        throw Error("No secure random numbers are available");
    return value;
}

} // namespace tern
