#include "clipboard/EndToEndKey.h"

#include "service/ByteOrder.h"
#include "service/SecureRandom.h"
#include "util/Errors.h"

#ifdef TERN_HAVE_SODIUM
#include <sodium.h>
#endif

#include <algorithm>
#include <map>
#include <mutex>

namespace tern {

namespace {

constexpr std::string_view kMagic = "E2EK";
constexpr std::size_t kValueBytes = 32;
constexpr std::size_t kVersion1Bytes = 4 + 4 + 4 + 4 + kKeySaltBytes;
// Distinct passphrase and scheme pairs kept; past that the cache starts over.
constexpr std::size_t kMaxCachedValues = 64;

void appendLe32(std::string& out, std::uint32_t value)
{
    char bytes[4];
    PutLe32(bytes, value);
    out.append(bytes, 4);
}

} // namespace

const KeyScheme& KeySchemeForCopies()
{
    static const KeyScheme scheme = [] {
        KeyScheme made;
        made.opsLimit = kCopyOpsLimit;
        made.memLimitKiB = kCopyMemLimitKiB;
        for (std::size_t at = 0; at < made.salt.size(); at += 4)
            PutLe32(reinterpret_cast<char*>(made.salt.data() + at), SecureRandomUint32());
        return made;
    }();
    return scheme;
}

std::string EncodeKeyScheme(const KeyScheme& scheme)
{
    std::string out(kMagic);
    appendLe32(out, scheme.version);
    appendLe32(out, scheme.opsLimit);
    appendLe32(out, scheme.memLimitKiB);
    out.append(reinterpret_cast<const char*>(scheme.salt.data()), scheme.salt.size());
    return out;
}

std::optional<KeyScheme> DecodeKeyScheme(std::string_view data)
{
    if (data.substr(0, kMagic.size()) != kMagic)
        return std::nullopt;
    if (data.size() < 8)
        throw StreamReadError("Stream read error: key scheme cut short");
    KeyScheme scheme;
    scheme.version = GetLe32(data.data() + 4);
    if (scheme.version != kKeySchemeVersion)
        throw Error(kEndToEndKeyNeededText);
    if (data.size() != kVersion1Bytes)
        throw StreamReadError("Stream read error: invalid key scheme");
    scheme.opsLimit = GetLe32(data.data() + 8);
    scheme.memLimitKiB = GetLe32(data.data() + 12);
    if (scheme.opsLimit < kMinKeyOpsLimit || scheme.opsLimit > kMaxKeyOpsLimit ||
        scheme.memLimitKiB < kMinKeyMemLimitKiB || scheme.memLimitKiB > kMaxKeyMemLimitKiB)
        throw StreamReadError("Stream read error: key scheme limits out of range");
    std::copy(data.begin() + 16, data.end(), reinterpret_cast<char*>(scheme.salt.data()));
    return scheme;
}

#ifdef TERN_HAVE_SODIUM
bool EndToEndKeyAvailable() noexcept
{
    return true;
}

std::string DeriveEndToEndKeyValue(std::string_view passphrase, const KeyScheme& scheme)
{
    static const int status = sodium_init();
    if (status < 0)
        throw Error("The cryptography library could not be started.");
    static_assert(kKeySaltBytes == crypto_pwhash_SALTBYTES);
    static_assert(kCopyOpsLimit == crypto_pwhash_OPSLIMIT_INTERACTIVE &&
                  std::size_t{kCopyMemLimitKiB} * 1024 == crypto_pwhash_MEMLIMIT_INTERACTIVE);
    static_assert(kMinKeyOpsLimit >= crypto_pwhash_OPSLIMIT_MIN &&
                  std::size_t{kMinKeyMemLimitKiB} * 1024 >= crypto_pwhash_MEMLIMIT_MIN);
    unsigned char key[kValueBytes];
    if (crypto_pwhash(key, sizeof key, passphrase.data(), passphrase.size(), scheme.salt.data(),
                      scheme.opsLimit, std::size_t{scheme.memLimitKiB} * 1024,
                      crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw Error("Not enough memory to derive the end-to-end key.");
    char hex[kValueBytes * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, key, sizeof key);
    sodium_memzero(key, sizeof key);
    return std::string(hex, kValueBytes * 2);
}
#else
bool EndToEndKeyAvailable() noexcept
{
    return false;
}

std::string DeriveEndToEndKeyValue(std::string_view, const KeyScheme&)
{
    throw Error(kEndToEndKeyUnavailableText);
}
#endif

std::string EndToEndKeyValue(std::string_view passphrase, const KeyScheme& scheme)
{
    static std::mutex mutex;
    static std::map<std::string, std::string> cache;
    std::string entry(passphrase);
    entry += '\0';
    entry += EncodeKeyScheme(scheme);
    {
        const std::lock_guard lock(mutex);
        if (const auto found = cache.find(entry); found != cache.end())
            return found->second;
    }
    // Derived outside the lock: another thread may derive the same value meanwhile, which is harmless.
    std::string value = DeriveEndToEndKeyValue(passphrase, scheme);
    const std::lock_guard lock(mutex);
    if (cache.size() >= kMaxCachedValues)
        cache.clear();
    cache.emplace(std::move(entry), value);
    return value;
}

} // namespace tern
