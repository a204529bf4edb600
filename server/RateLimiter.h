#pragma once

#include "ServerOptions.h"

#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tern::server {

// Counts events per key in fixed windows: a key that has reached the limit within its current window
// is refused until the window ends. Safe to use from any thread. Memory stays bounded: expired keys
// are dropped when the table grows.
class RateLimiter
{
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit RateLimiter(RateLimit limit, Clock clock = {});

    // True while `key` has used up its events in the current window.
    bool isBlocked(const std::string& key);
    // Counts one event for `key`.
    void record(const std::string& key);

private:
    struct Entry
    {
        std::chrono::steady_clock::time_point windowStart;
        int count = 0;
    };

    void dropExpired(std::chrono::steady_clock::time_point now);

    RateLimit m_limit;
    Clock m_clock;
    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
};

} // namespace tern::server
