#include "CredentialCache.h"

#include "util/TextRoutines.h"

#include <algorithm>
#include <stdexcept>

#include <sodium.h>

namespace tern::server {
namespace {

} // namespace

CredentialCache::CredentialCache(std::chrono::seconds lifetime, std::size_t capacity, WallClock clock)
    : m_lifetime(lifetime), m_capacity(std::max<std::size_t>(capacity, 1)), m_clock(std::move(clock))
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be initialised");
    static_assert(crypto_generichash_KEYBYTES <= 32 && crypto_generichash_BYTES <= 32);
    randombytes_buf(m_key.data(), m_key.size());
}

CredentialCache::Digest CredentialCache::digestOf(const std::string& account,
                                                  std::string_view passwordValue) const
{
    // The address and the value, separated by a byte that neither contains.
    crypto_generichash_state state;
    crypto_generichash_init(&state, m_key.data(), m_key.size(), Digest().size());
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(account.data()), account.size());
    const unsigned char separator = 0;
    crypto_generichash_update(&state, &separator, 1);
    crypto_generichash_update(&state, reinterpret_cast<const unsigned char*>(passwordValue.data()),
                              passwordValue.size());
    Digest digest{};
    crypto_generichash_final(&state, digest.data(), digest.size());
    return digest;
}

std::int64_t CredentialCache::now() const
{
    return m_clock ? m_clock() : SystemSeconds();
}

std::optional<std::int64_t> CredentialCache::find(std::string_view email, std::string_view passwordValue)
{
    const std::string account = LowerTextAscii(email);
    const Digest digest = digestOf(account, passwordValue);
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(account);
    if (found == m_entries.end())
        return std::nullopt;
    if (found->second.expires <= now()) {
        m_entries.erase(found);
        return std::nullopt;
    }
    if (sodium_memcmp(found->second.digest.data(), digest.data(), digest.size()) != 0)
        return std::nullopt;
    return found->second.accountId;
}

void CredentialCache::remember(std::string_view email, std::string_view passwordValue, std::int64_t accountId)
{
    std::string account = LowerTextAscii(email);
    const Digest digest = digestOf(account, passwordValue);
    std::lock_guard lock(m_mutex);
    const auto time = now();
    if (m_entries.find(account) == m_entries.end())
        makeRoom(time);
    m_entries[std::move(account)] = Entry{digest, accountId, time + m_lifetime.count()};
}

void CredentialCache::forget(std::string_view email)
{
    const std::string account = LowerTextAscii(email);
    std::lock_guard lock(m_mutex);
    m_entries.erase(account);
}

void CredentialCache::makeRoom(std::int64_t time)
{
    if (m_entries.size() < m_capacity)
        return;
    std::erase_if(m_entries, [time](const auto& entry) { return entry.second.expires <= time; });
    // Still full of fresh entries: drop the one closest to expiry; its owner pays one full check.
    if (m_entries.size() >= m_capacity) {
        const auto oldest =
            std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
                return a.second.expires < b.second.expires;
            });
        m_entries.erase(oldest);
    }
}

} // namespace tern::server
