#include "RateLimiter.h"

namespace tern::server {

RateLimiter::RateLimiter(Database& database, std::string name, RateLimit limit, WallClock clock)
    : m_database(database), m_name(std::move(name)), m_limit(limit), m_clock(std::move(clock))
{
}

std::string RateLimiter::bucket(std::string_view key) const
{
    return m_name + ":" + std::string(key);
}

bool RateLimiter::tryTake(std::string_view key)
{
    return m_database.takeEvent(bucket(key), m_limit, m_clock());
}

void RateLimiter::giveBack(std::string_view key)
{
    m_database.returnEvent(bucket(key));
}

void RateLimiter::forget(std::string_view key)
{
    m_database.clearEvents(bucket(key));
}

} // namespace tern::server
