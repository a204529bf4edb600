#pragma once

#include "CredentialCache.h"
#include "Database.h"
#include "PasswordHasher.h"
#include "RateLimiter.h"
#include "ServerOptions.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tern::server {

enum class AuthOutcome {
    Accepted,
    Refused, // unknown e-mail, wrong or malformed password value
    Locked,  // too many failures from this address or for this account; nothing was checked
};

struct AuthResult
{
    AuthOutcome outcome = AuthOutcome::Refused;
    std::int64_t accountId = 0;
};

enum class RegisterOutcome {
    Created,
    InvalidEmail,
    InvalidPassword,
    Exists,
    Limited,
};

// Checks credentials and creates accounts, counting failures per client address and per account so
// that password guessing is throttled on every request that carries credentials. Credentials that
// passed the full check are remembered for a few minutes, so a client's next requests skip the hash.
class Authenticator
{
public:
    Authenticator(Database& database, const ServerOptions& options, const RateLimiter::Clock& clock = {});

    AuthResult authenticate(std::string_view email, std::string_view passwordValue,
                            const std::string& address);
    RegisterOutcome registerAccount(std::string_view email, std::string_view passwordValue,
                                    const std::string& address);
    // Makes the next request for this account run the full password check; call it when the
    // account's password changes or the account goes.
    void forgetCredentials(std::string_view email) { m_verified.forget(email); }

private:
    Database& m_database;
    PasswordHasher m_hasher;
    CredentialCache m_verified;
    RateLimiter m_failuresPerAddress;
    RateLimiter m_failuresPerAccount;
    RateLimiter m_registrationsPerAddress;
};

} // namespace tern::server
