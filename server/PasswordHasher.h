#pragma once

#include <cstddef>
#include <semaphore>
#include <string>
#include <string_view>

namespace tern::server {

// Salted Argon2id hashes of password values (libsodium's encoded form, which carries salt and cost).
// At most two hashes are computed at a time, so that a burst of logins cannot exhaust memory.
class PasswordHasher
{
public:
    // A cost of 0 picks libsodium's interactive level.
    PasswordHasher(unsigned long long opsLimit, std::size_t memLimit);

    // A new hash with a fresh random salt. Throws std::runtime_error when memory runs out.
    std::string hash(std::string_view password);
    // Whether `password` matches `encoded`; the comparison takes the same time whatever matches.
    bool verify(std::string_view encoded, std::string_view password);
    // Spends the time of one verification, for a request about an unknown account.
    void verifyAgainstNothing(std::string_view password);

private:
    unsigned long long m_opsLimit;
    std::size_t m_memLimit;
    std::string m_dummyHash;
    std::counting_semaphore<2> m_slots{2};
};

} // namespace tern::server
