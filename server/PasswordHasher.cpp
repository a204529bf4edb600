#include "PasswordHasher.h"

#include <stdexcept>

#include <sodium.h>

namespace tern::server {
namespace {

class SlotGuard
{
public:
    explicit SlotGuard(std::counting_semaphore<2>& slots) : m_slots(slots) { m_slots.acquire(); }
    ~SlotGuard() { m_slots.release(); }
    SlotGuard(const SlotGuard&) = delete;
    SlotGuard& operator=(const SlotGuard&) = delete;

private:
    std::counting_semaphore<2>& m_slots;
};

} // namespace

PasswordHasher::PasswordHasher(unsigned long long opsLimit, std::size_t memLimit)
    : m_opsLimit(opsLimit != 0 ? opsLimit : crypto_pwhash_OPSLIMIT_INTERACTIVE),
      m_memLimit(memLimit != 0 ? memLimit : crypto_pwhash_MEMLIMIT_INTERACTIVE)
{
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be initialised");
    m_dummyHash = hash("00000000000000000000000000000000");
}

std::string PasswordHasher::hash(std::string_view password)
{
    SlotGuard slot(m_slots);
    char encoded[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(encoded, password.data(), password.size(), m_opsLimit, m_memLimit,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        throw std::runtime_error("password hashing ran out of memory");
    return encoded;
}

bool PasswordHasher::verify(std::string_view encoded, std::string_view password)
{
    const std::string terminated(encoded);
    SlotGuard slot(m_slots);
    return crypto_pwhash_str_verify(terminated.c_str(), password.data(), password.size()) == 0;
}

void PasswordHasher::verifyAgainstNothing(std::string_view password)
{
    (void)verify(m_dummyHash, password);
}

} // namespace tern::server
