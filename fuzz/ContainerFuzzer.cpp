#include "FuzzSupport.h"
#include "service/ECLMemoryStream.h"
#include "util/Errors.h"

#include <cstddef>
#include <cstdint>

// Input: one byte choosing the password (odd: the seeds' password value, even: none), then the
// container storage.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::string password = (data[0] & 1) ? tern::fuzz::FuzzPassword() : std::string();
    tern::EclOptions options{tern::JumpingClock(), tern::EclNoLimit, {}, {}};
    tern::TECLMemoryStream container(password, 0, tern::TECLMemoryStream::kLevelCompressed, options);
    try {
        container.SetStorage(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    } catch (const tern::Error&) {
        return 0;
    }
    try {
        const std::string plain = container.ReadAll();
        if (plain.size() != container.Size())
            __builtin_trap();
        char buffer[64];
        container.Read(container.Size() / 2, buffer, sizeof buffer);
        // Rewriting in the middle rebuilds the blocks around the write from the untrusted ones.
        container.Write(container.Size() / 3, "fuzz", 4);
        tern::TECLMemoryStream reopened(password, 0, tern::TECLMemoryStream::kLevelCompressed, options);
        reopened.SetStorage(container.Storage());
        if (reopened.Size() != container.Size())
            __builtin_trap();
        reopened.ReadAll();
    } catch (const tern::Error&) {
    }
    return 0;
}
