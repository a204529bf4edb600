#pragma once

#include "Database.h"
#include "ServerOptions.h"
#include "WallClock.h"

#include <string>
#include <string_view>

namespace tern::server {

// Limits how often something happens per key (a client address, an account at an address), with the
// counters in the database so that every server sharing it applies one limit. Safe to use from any
// thread.
class RateLimiter
{
public:
    // `name` keeps the keys of different limits apart in the shared table.
    RateLimiter(Database& database, std::string name, RateLimit limit, WallClock clock);

    // Counts one event for `key` and returns true, or returns false (counting nothing) while the key
    // must wait. Checking and counting are one step: of many requests at once, no more get through
    // than the limit allows.
    bool tryTake(std::string_view key);
    // Takes back the event of a tryTake() whose request turned out well.
    void giveBack(std::string_view key);
    // Forgets every event of `key`.
    void forget(std::string_view key);

private:
    std::string bucket(std::string_view key) const;

    Database& m_database;
    std::string m_name;
    RateLimit m_limit;
    WallClock m_clock;
};

} // namespace tern::server
