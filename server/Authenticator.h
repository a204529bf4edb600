#pragma once

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
// that password guessing is throttled on every request that carries credentials.
class Authenticator
{
public:
    Authenticator(Database& database, const ServerOptions& options, const RateLimiter::Clock& clock = {});

    AuthResult authenticate(std::string_view email, std::string_view passwordValue,
                            const std::string& address);
    RegisterOutcome registerAccount(std::string_view email, std::string_view passwordValue,
                                    const std::string& address);

private:
    Database& m_database;
    PasswordHasher m_hasher;
    RateLimiter m_failuresPerAddress;
    RateLimiter m_failuresPerAccount;
    RateLimiter m_registrationsPerAddress;
};

} // namespace tern::server
