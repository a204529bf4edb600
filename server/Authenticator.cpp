#include "Authenticator.h"

#include "AccountRules.h"

#include <algorithm>

namespace tern::server {
namespace {

// Accounts match without regard to ASCII case, and so do their failure counters.
std::string accountKey(std::string_view email)
{
    std::string key(email.substr(0, 254));
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return key;
}

} // namespace

Authenticator::Authenticator(Database& database, const ServerOptions& options,
                             const RateLimiter::Clock& clock)
    : m_database(database), m_hasher(options.hashOpsLimit, options.hashMemLimit),
      m_verified(options.verifiedCredentialLifetime, options.verifiedCredentialCapacity, clock),
      m_failuresPerAddress(options.failedLoginsPerAddress, clock),
      m_failuresPerAccount(options.failedLoginsPerAccount, clock),
      m_registrationsPerAddress(options.registrationsPerAddress, clock)
{
}

AuthResult Authenticator::authenticate(std::string_view email, std::string_view passwordValue,
                                       const std::string& address)
{
    const std::string account = accountKey(email);
    if (m_failuresPerAddress.isBlocked(address) || m_failuresPerAccount.isBlocked(account))
        return {AuthOutcome::Locked, 0};

    if (const auto remembered = m_verified.find(email, passwordValue))
        return {AuthOutcome::Accepted, *remembered};

    bool accepted = false;
    std::int64_t accountId = 0;
    if (IsPasswordValue(passwordValue)) {
        if (const auto found = m_database.findAccount(email)) {
            accepted = m_hasher.verify(found->passwordHash, passwordValue);
            accountId = found->id;
        } else {
            m_hasher.verifyAgainstNothing(passwordValue);
        }
    }
    if (accepted) {
        m_verified.remember(email, passwordValue, accountId);
        return {AuthOutcome::Accepted, accountId};
    }
    m_verified.forget(email);
    m_failuresPerAddress.record(address);
    m_failuresPerAccount.record(account);
    return {AuthOutcome::Refused, 0};
}

RegisterOutcome Authenticator::registerAccount(std::string_view email, std::string_view passwordValue,
                                               const std::string& address)
{
    if (m_registrationsPerAddress.isBlocked(address))
        return RegisterOutcome::Limited;
    m_registrationsPerAddress.record(address);
    if (!IsAcceptableEmail(email))
        return RegisterOutcome::InvalidEmail;
    if (!IsPasswordValue(passwordValue))
        return RegisterOutcome::InvalidPassword;
    if (m_database.findAccount(email))
        return RegisterOutcome::Exists;
    if (!m_database.createAccount(email, m_hasher.hash(passwordValue)))
        return RegisterOutcome::Exists;
    return RegisterOutcome::Created;
}

} // namespace tern::server
