#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tern {

// The end-to-end key: a passphrase kept only on the user's computers. A snapshot copied with a key
// has every record's container keyed with a value derived from the passphrase (Argon2id) instead of
// the password value, so that the service, which knows the password value, cannot open it. The salt
// and the cost parameters travel in the key scheme record (see KeyedSnapshot.h).
inline constexpr std::uint32_t kKeySchemeVersion = 1;
inline constexpr std::size_t kKeySaltBytes = 16;
// The costs this program copies with (Argon2id's interactive level: about a tenth of a second).
inline constexpr std::uint32_t kCopyOpsLimit = 2;
inline constexpr std::uint32_t kCopyMemLimitKiB = 64 * 1024;
// What a reader accepts from a snapshot, so that a hostile one cannot make a derivation take minutes
// or gigabytes.
inline constexpr std::uint32_t kMinKeyOpsLimit = 1;
inline constexpr std::uint32_t kMinKeyMemLimitKiB = 8;
inline constexpr std::uint32_t kMaxKeyOpsLimit = 4;
inline constexpr std::uint32_t kMaxKeyMemLimitKiB = 256 * 1024;

// The shortest passphrase accepted, in bytes of UTF-8.
inline constexpr std::size_t kMinEndToEndKeyBytes = 8;

// The text shown when a snapshot needs a key this computer does not have.
inline constexpr const char* kEndToEndKeyNeededText =
    "This copy was made with an end-to-end key. Set the same key on this computer to paste it.";

// Version 1: Argon2id (version 1.3), `opsLimit` passes over `memLimitKiB` KiB of memory, 32 bytes of
// output written as 64 lower-case hexadecimal digits, which key the containers.
struct KeyScheme
{
    std::uint32_t version = kKeySchemeVersion;
    std::uint32_t opsLimit = 0;
    std::uint32_t memLimitKiB = 0;
    std::array<std::uint8_t, kKeySaltBytes> salt{};

    bool operator==(const KeyScheme&) const = default;
};

// The scheme this program copies with: the interactive Argon2id costs and a salt drawn once for the
// program's life, so that its own copies derive the key once.
const KeyScheme& KeySchemeForCopies();

// Record data, little-endian: the 4 bytes "E2EK", version (32-bit), then for version 1 the
// operations limit (32-bit), the memory limit in KiB (32-bit) and the kKeySaltBytes salt bytes.
std::string EncodeKeyScheme(const KeyScheme& scheme);
// Nothing for data that does not start with "E2EK" (a format of the clipboard, not a scheme record).
// Data cut short, or limits out of range, throw StreamReadError; a version this program does not know
// throws tern::Error with kEndToEndKeyNeededText.
std::optional<KeyScheme> DecodeKeyScheme(std::string_view data);

// False for a build without Argon2id (libsodium): it can neither copy nor paste with a key.
bool EndToEndKeyAvailable() noexcept;
inline constexpr const char* kEndToEndKeyUnavailableText = "This build cannot use an end-to-end key.";

// The container key of `passphrase` under `scheme`, derived at every call. Throws tern::Error when
// the derivation fails (out of memory) or the build has no Argon2id (libsodium).
std::string DeriveEndToEndKeyValue(std::string_view passphrase, const KeyScheme& scheme);
// The same, derived once per passphrase and scheme for the program's life. Thread-safe.
std::string EndToEndKeyValue(std::string_view passphrase, const KeyScheme& scheme);

} // namespace tern
