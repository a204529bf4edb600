#pragma once

#include "CredentialCache.h"
#include "Database.h"
#include "PasswordHasher.h"
#include "RateLimiter.h"
#include "ServerOptions.h"
#include "WallClock.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tern::server {

enum class AuthOutcome {
    Accepted,
    Refused, // unknown e-mail, wrong or malformed password value
    Locked,  // too many failures from this address, or for this account from this address; nothing
             // was checked
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

enum class LookUpOutcome {
    Found,
    NotFound,
    InvalidEmail, // nothing was counted
    Limited,      // too many look-ups from this address; nothing was looked up
};

// Checks credentials and creates accounts. Failed checks are limited per client address and per
// account from one address, so that guessing is slowed down on every request that carries
// credentials, while nobody at another address can lock the owner out. Malformed credentials are
// refused before any counting. Every counter lives in the database. Credentials that passed the full
// check are remembered for a few minutes in this process, so a client's next requests skip the hash
// and the counters. Client addresses are counted by AddressGroup (an IPv6 client by its /64).
class Authenticator
{
public:
    Authenticator(Database& database, const ServerOptions& options, WallClock clock);

    AuthResult authenticate(std::string_view email, std::string_view passwordValue,
                            const std::string& address);
    RegisterOutcome registerAccount(std::string_view email, std::string_view passwordValue,
                                    const std::string& address);
    // Whether `email` has an account. Each look-up is counted per address before it runs and given
    // back when it finds an account, so that guessing addresses is slowed down while a client asking
    // about its own account never is.
    LookUpOutcome lookUp(std::string_view email, const std::string& address);

private:
    Database& m_database;
    WallClock m_clock;
    PasswordHasher m_hasher;
    CredentialCache m_verified;
    RateLimiter m_failuresPerAddress;
    RateLimiter m_failuresPerAccountAddress;
    RateLimiter m_registrationsPerAddress;
    RateLimiter m_lookUpsPerAddress;
};

} // namespace tern::server
