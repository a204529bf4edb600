#pragma once

#include "WallClock.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tern::server {

// Remembers credentials that passed the full password check for a few minutes, so that a client's
// repeated requests skip the costly hash. Only a keyed hash of the password value is kept (the key is
// random per process), compared in constant time. Safe to use from any thread; holds at most
// `capacity` accounts.
class CredentialCache
{
public:
    CredentialCache(std::chrono::seconds lifetime, std::size_t capacity, WallClock clock = {});

    // The account id remembered for this e-mail address (any ASCII case) and password value, while
    // fresh; nullopt otherwise.
    std::optional<std::int64_t> find(std::string_view email, std::string_view passwordValue);
    // Remembers a pair that has just passed the full check.
    void remember(std::string_view email, std::string_view passwordValue, std::int64_t accountId);
    // Forgets the account (after a failed check or a password change).
    void forget(std::string_view email);

private:
    using Digest = std::array<unsigned char, 32>;
    struct Entry
    {
        Digest digest{};
        std::int64_t accountId = 0;
        std::int64_t expires = 0; // seconds since the Unix epoch
    };

    Digest digestOf(const std::string& account, std::string_view passwordValue) const;
    std::int64_t now() const;
    void makeRoom(std::int64_t now);

    std::chrono::seconds m_lifetime;
    std::size_t m_capacity;
    WallClock m_clock;
    std::array<unsigned char, 32> m_key{};
    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries; // by the e-mail address in lower case
};

} // namespace tern::server
