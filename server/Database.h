#pragma once

#include "ConnectionPool.h"
#include "ServerOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern::server {

struct Account
{
    std::int64_t id = 0;
    std::string email;
    std::string passwordHash;
};

struct SharedItem
{
    std::string key;
    int kind = 0;
    std::string data;
    std::int64_t created = 0; // seconds since the Unix epoch, UTC
};

struct ShareSummary
{
    std::string key;
    int kind = 0;
    std::int64_t size = 0;
    std::int64_t created = 0;
};

// How many shares, and how many bytes of them, one account may keep; 0 means no limit.
struct ShareQuota
{
    std::int64_t maxShares = 0;
    std::int64_t maxBytes = 0;
};

enum class AddShareOutcome { Added, KeyTaken, OverQuota };

// Everything the service keeps: accounts, each account's snapshot, the shared items and the counters
// of the request limits. Kept in one SQLite file in the data folder, or in a PostgreSQL database that
// any number of servers share. The schema is created or migrated when the database is opened. Safe to
// call from any thread. Failures throw DatabaseError. Times are seconds since the Unix epoch.
class Database
{
public:
    static constexpr const char* kFileName = "tern.sqlite3";

    // `url` "postgresql://..." (or "postgres://...") names a PostgreSQL database; empty means the
    // SQLite file kFileName in `dataDir`, created with the folder when missing.
    Database(std::string_view url, const std::string& dataDir);

    // E-mail addresses match without regard to ASCII letter case.
    std::optional<Account> findAccount(std::string_view email);
    // False when an account with that e-mail exists already.
    bool createAccount(std::string_view email, std::string_view passwordHash, std::int64_t now);
    // Deletes the account with that e-mail, its snapshot, its shares and its failure counters in one
    // transaction; the number of shares it had, or nullopt when there is no such account.
    std::optional<std::int64_t> deleteAccount(std::string_view email);

    // Replaces the account's snapshot.
    void saveSnapshot(std::int64_t accountId, std::string_view bytes, std::int64_t now);
    std::optional<std::string> readSnapshot(std::int64_t accountId);

    // Adds a share unless the key is taken already (the caller draws a new one) or the account's
    // shares created after `keptSince` would exceed `quota` with it. The check and the insert are one
    // step for every server sharing the database.
    AddShareOutcome addShare(std::string_view key, std::int64_t accountId, int kind, std::string_view data,
                             std::int64_t created, const ShareQuota& quota, std::int64_t keptSince);
    // A share created after `keptSince`.
    std::optional<SharedItem> findShare(std::string_view key, std::int64_t keptSince);
    // The account's shares created after `keptSince`, newest first, at most `limit`.
    std::vector<ShareSummary> listShares(std::int64_t accountId, std::int64_t keptSince, int limit);
    // False when the account has no share with that key.
    bool deleteShare(std::int64_t accountId, std::string_view key);
    // Deletes every share created before `keptSince`.
    void deleteSharesBefore(std::int64_t keptSince);

    // Counts one event for `bucket` at `now` and returns true, or returns false and counts nothing
    // when `limit` makes the bucket wait. One atomic step for every server sharing the database.
    bool takeEvent(std::string_view bucket, const RateLimit& limit, std::int64_t now);
    // Takes back one event counted by takeEvent (a request that turned out well).
    void returnEvent(std::string_view bucket);
    // Forgets every event of `bucket`.
    void clearEvents(std::string_view bucket);
    // Forgets the buckets whose last event is older than `before`.
    void pruneEvents(std::int64_t before);

private:
    ConnectionPool m_pool;
};

} // namespace tern::server
