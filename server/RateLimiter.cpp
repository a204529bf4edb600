#include "RateLimiter.h"

namespace tern::server {
namespace {

constexpr std::size_t kPruneThreshold = 10000;

} // namespace

RateLimiter::RateLimiter(RateLimit limit, Clock clock) : m_limit(limit), m_clock(std::move(clock))
{
    if (!m_clock)
        m_clock = [] { return std::chrono::steady_clock::now(); };
}

bool RateLimiter::isBlocked(const std::string& key)
{
    const auto now = m_clock();
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(key);
    if (found == m_entries.end())
        return false;
    if (now - found->second.windowStart >= m_limit.window) {
        m_entries.erase(found);
        return false;
    }
    return found->second.count >= m_limit.maxEvents;
}

void RateLimiter::record(const std::string& key)
{
    const auto now = m_clock();
    std::lock_guard lock(m_mutex);
    if (m_entries.size() >= kPruneThreshold)
        dropExpired(now);
    Entry& entry = m_entries[key];
    if (entry.count == 0 || now - entry.windowStart >= m_limit.window) {
        entry.windowStart = now;
        entry.count = 0;
    }
    ++entry.count;
}

void RateLimiter::dropExpired(std::chrono::steady_clock::time_point now)
{
    std::erase_if(m_entries,
                  [&](const auto& item) { return now - item.second.windowStart >= m_limit.window; });
}

} // namespace tern::server
