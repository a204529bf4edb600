#include "Authenticator.h"

#include "AccountRules.h"
#include "http/AddressGroup.h"
#include "util/TextRoutines.h"

#include <algorithm>

namespace tern::server {
namespace {

// Accounts match without regard to ASCII case, and so do their failure counters.
std::string accountKey(std::string_view email, const std::string& address)
{
    return LowerTextAscii(email) + " " + address;
}

} // namespace

Authenticator::Authenticator(Database& database, const ServerOptions& options, WallClock clock)
    : m_database(database), m_clock(std::move(clock)), m_hasher(options.hashOpsLimit, options.hashMemLimit),
      m_verified(options.verifiedCredentialLifetime, options.verifiedCredentialCapacity, m_clock),
      m_failuresPerAddress(database, "login-address", options.failedLoginsPerAddress, m_clock),
      m_failuresPerAccountAddress(database, "login-account", options.failedLoginsPerAccountAddress, m_clock),
      m_registrationsPerAddress(database, "register-address", options.registrationsPerAddress, m_clock),
      m_lookUpsPerAddress(database, "validate-address", options.validationsPerAddress, m_clock)
{
}

AuthResult Authenticator::authenticate(std::string_view email, std::string_view passwordValue,
                                       const std::string& client)
{
    // No account was ever made with a malformed e-mail or password value: such a request cannot be
    // a guess, and counting it would let anyone use up someone else's allowance for free.
    if (!IsPasswordValue(passwordValue) || !IsAcceptableEmail(email))
        return {AuthOutcome::Refused, 0};

    // A pair that passed the full check a moment ago is no guess: it needs neither the hash nor the
    // counters.
    // The account must still be there under that id: it may have been deleted (by another process)
    // since, and its id taken by a new account.
    if (const auto remembered = m_verified.find(email, passwordValue)) {
        const auto account = m_database.findAccount(email);
        if (account && account->id == *remembered)
            return {AuthOutcome::Accepted, *remembered};
        m_verified.forget(email);
    }

    // Each check is counted as a failure before it runs and given back when it succeeds, so that
    // checks running at the same moment cannot pass the limit together.
    const std::string address = AddressGroup(client);
    const std::string account = accountKey(email, address);
    if (!m_failuresPerAccountAddress.tryTake(account))
        return {AuthOutcome::Locked, 0};
    if (!m_failuresPerAddress.tryTake(address)) {
        m_failuresPerAccountAddress.giveBack(account);
        return {AuthOutcome::Locked, 0};
    }

    bool accepted = false;
    std::int64_t accountId = 0;
    if (const auto found = m_database.findAccount(email)) {
        accepted = m_hasher.verify(found->passwordHash, passwordValue);
        accountId = found->id;
    } else {
        m_hasher.verifyAgainstNothing(passwordValue);
    }
    if (!accepted) {
        m_verified.forget(email);
        return {AuthOutcome::Refused, 0};
    }
    m_verified.remember(email, passwordValue, accountId);
    m_failuresPerAccountAddress.forget(account);
    m_failuresPerAddress.giveBack(address);
    return {AuthOutcome::Accepted, accountId};
}

RegisterOutcome Authenticator::registerAccount(std::string_view email, std::string_view passwordValue,
                                               const std::string& client)
{
    if (!m_registrationsPerAddress.tryTake(AddressGroup(client)))
        return RegisterOutcome::Limited;
    if (!IsAcceptableEmail(email))
        return RegisterOutcome::InvalidEmail;
    if (!IsPasswordValue(passwordValue))
        return RegisterOutcome::InvalidPassword;
    if (m_database.findAccount(email))
        return RegisterOutcome::Exists;
    if (!m_database.createAccount(email, m_hasher.hash(passwordValue), m_clock()))
        return RegisterOutcome::Exists;
    return RegisterOutcome::Created;
}

LookUpOutcome Authenticator::lookUp(std::string_view email, const std::string& client)
{
    if (!IsAcceptableEmail(email))
        return LookUpOutcome::InvalidEmail;
    const std::string address = AddressGroup(client);
    if (!m_lookUpsPerAddress.tryTake(address))
        return LookUpOutcome::Limited;
    if (!m_database.findAccount(email))
        return LookUpOutcome::NotFound;
    m_lookUpsPerAddress.giveBack(address);
    return LookUpOutcome::Found;
}

} // namespace tern::server
