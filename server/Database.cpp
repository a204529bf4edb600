#include "Database.h"

#include "PostgresConnection.h"
#include "Schema.h"
#include "SqliteConnection.h"

#include <filesystem>

namespace tern::server {
namespace {

// SQLite lets one connection write at a time anyway; a server holds a few so that reads of several
// requests overlap.
constexpr std::size_t kPostgresConnections = 16;

ConnectionPool::Opener opener(std::string_view url, const std::string& dataDir)
{
    if (url.empty()) {
        const std::string path = (std::filesystem::path(dataDir) / Database::kFileName).string();
        return [path] { return std::make_unique<SqliteConnection>(path); };
    }
    if (!IsPostgresUrl(url))
        throw DatabaseError("the database address must start with postgresql:// (got " +
                            std::string(url.substr(0, url.find(':'))) + ")");
    return [address = std::string(url)] { return std::make_unique<PostgresConnection>(address); };
}

std::optional<SharedItem> shareOf(const std::vector<SqlRow>& rows)
{
    if (rows.empty())
        return std::nullopt;
    const SqlRow& row = rows[0];
    return SharedItem{row[0].bytes, static_cast<int>(row[1].integer), row[2].bytes, row[3].integer};
}

} // namespace

Database::Database(std::string_view url, const std::string& dataDir)
    : m_pool(opener(url, dataDir), url.empty() ? 1 : kPostgresConnections)
{
    const auto connection = m_pool.lease();
    MigrateSchema(*connection);
}

std::optional<Account> Database::findAccount(std::string_view email)
{
    const auto rows = m_pool.lease()->run(
        "SELECT id, email, password_hash FROM accounts WHERE lower(email) = lower($1)", {email});
    if (rows.empty())
        return std::nullopt;
    return Account{rows[0][0].integer, rows[0][1].bytes, rows[0][2].bytes};
}

bool Database::createAccount(std::string_view email, std::string_view passwordHash, std::int64_t now)
{
    return !m_pool.lease()
                ->run("INSERT INTO accounts (email, password_hash, created) VALUES ($1, $2, $3) "
                      "ON CONFLICT DO NOTHING RETURNING id",
                      {email, passwordHash, now})
                .empty();
}

std::optional<std::int64_t> Database::deleteAccount(std::string_view email)
{
    const auto connection = m_pool.lease();
    return InWriteTransaction(*connection, [&]() -> std::optional<std::int64_t> {
        const auto rows =
            connection->run("SELECT id, lower(email) FROM accounts WHERE lower(email) = lower($1)", {email});
        if (rows.empty())
            return std::nullopt;
        const std::int64_t id = rows[0][0].integer;
        const std::string counters = "login-account:" + rows[0][1].bytes + " ";
        const auto shares = connection->run("DELETE FROM shares WHERE account_id = $1 RETURNING id", {id});
        connection->run("DELETE FROM snapshots WHERE account_id = $1", {id});
        connection->run("DELETE FROM limits WHERE substr(bucket, 1, length($1)) = $1",
                        {std::string_view(counters)});
        connection->run("DELETE FROM accounts WHERE id = $1", {id});
        return static_cast<std::int64_t>(shares.size());
    });
}

void Database::saveSnapshot(std::int64_t accountId, std::string_view bytes, std::int64_t now)
{
    m_pool.lease()->run(
        "INSERT INTO snapshots (account_id, data, updated) VALUES ($1, $2, $3) "
        "ON CONFLICT (account_id) DO UPDATE SET data = excluded.data, updated = excluded.updated",
        {accountId, SqlBlob{bytes}, now});
}

std::optional<std::string> Database::readSnapshot(std::int64_t accountId)
{
    auto rows = m_pool.lease()->run("SELECT data FROM snapshots WHERE account_id = $1", {accountId});
    if (rows.empty())
        return std::nullopt;
    return std::move(rows[0][0].bytes);
}

AddShareOutcome Database::addShare(std::string_view key, std::int64_t accountId, int kind,
                                   std::string_view data, std::int64_t created, const ShareQuota& quota,
                                   std::int64_t keptSince)
{
    const auto connection = m_pool.lease();
    return InWriteTransaction(*connection, [&] {
        // Touching the account's row holds back every other share of this account until commit, so
        // that two servers cannot both let in the last share the quota allows.
        connection->run("UPDATE accounts SET id = id WHERE id = $1", {accountId});
        if (quota.maxShares > 0 || quota.maxBytes > 0) {
            const auto rows =
                connection->run("SELECT count(*), CAST(coalesce(sum(size), 0) AS BIGINT) FROM shares "
                                "WHERE account_id = $1 AND created >= $2",
                                {accountId, keptSince});
            const std::int64_t count = rows[0][0].integer;
            const std::int64_t bytes = rows[0][1].integer;
            const auto size = static_cast<std::int64_t>(data.size());
            if ((quota.maxShares > 0 && count >= quota.maxShares) ||
                (quota.maxBytes > 0 && bytes + size > quota.maxBytes))
                return AddShareOutcome::OverQuota;
        }
        const auto inserted =
            connection->run("INSERT INTO shares (access_key, account_id, kind, data, size, created) "
                            "VALUES ($1, $2, $3, $4, $5, $6) ON CONFLICT DO NOTHING RETURNING id",
                            {key, accountId, std::int64_t{kind}, SqlBlob{data},
                             static_cast<std::int64_t>(data.size()), created});
        return inserted.empty() ? AddShareOutcome::KeyTaken : AddShareOutcome::Added;
    });
}

std::optional<SharedItem> Database::findShare(std::string_view key, std::int64_t keptSince)
{
    return shareOf(m_pool.lease()->run(
        "SELECT access_key, kind, data, created FROM shares WHERE access_key = $1 AND created >= $2",
        {key, keptSince}));
}

std::vector<ShareSummary> Database::listShares(std::int64_t accountId, std::int64_t keptSince, int limit)
{
    const auto rows = m_pool.lease()->run("SELECT access_key, kind, size, created FROM shares "
                                          "WHERE account_id = $1 AND created >= $2 ORDER BY id DESC LIMIT $3",
                                          {accountId, keptSince, std::int64_t{limit}});
    std::vector<ShareSummary> result;
    result.reserve(rows.size());
    for (const SqlRow& row : rows)
        result.push_back({row[0].bytes, static_cast<int>(row[1].integer), row[2].integer, row[3].integer});
    return result;
}

bool Database::deleteShare(std::int64_t accountId, std::string_view key)
{
    return !m_pool.lease()
                ->run("DELETE FROM shares WHERE account_id = $1 AND access_key = $2 RETURNING id",
                      {accountId, key})
                .empty();
}

void Database::deleteSharesBefore(std::int64_t keptSince)
{
    m_pool.lease()->run("DELETE FROM shares WHERE created < $1", {keptSince});
}

bool Database::takeEvent(std::string_view bucket, const RateLimit& limit, std::int64_t now)
{
    const std::int64_t allowance = limit.maxEvents;
    const std::int64_t quiet = limit.window.count();
    const std::int64_t firstDelay = limit.firstDelay.count() > 0 ? limit.firstDelay.count() : 1;
    const std::int64_t maxDelay = limit.maxDelay.count();
    // The delay after the allowance doubles with every event: firstDelay << k, held at maxDelay from
    // the first k where it would reach it.
    std::int64_t capShift = 0;
    while (capShift < 40 && (firstDelay << capShift) < maxDelay)
        ++capShift;
    // The whole decision is made by the statement itself, on the row it locks: two requests at the
    // same moment can never both take the last event the limit allows. A request whose clock reading
    // is a little older than the last event's (it waited for the row) still counts within the
    // allowance, and the last event's time never goes back.
    return !m_pool.lease()
                ->run("INSERT INTO limits (bucket, events, last_event) VALUES ($1, 1, $2) "
                      "ON CONFLICT (bucket) DO UPDATE SET "
                      "events = CASE WHEN limits.last_event <= $2 - $3 THEN 1 ELSE limits.events + 1 END, "
                      "last_event = CASE WHEN limits.last_event > $2 THEN limits.last_event ELSE $2 END "
                      "WHERE limits.events < $4 OR limits.last_event <= $2 - $3 "
                      "OR limits.last_event + CASE WHEN limits.events < $4 THEN 0 "
                      "WHEN limits.events - $4 >= $5 THEN $6 "
                      "ELSE $7 << CAST(limits.events - $4 AS INTEGER) END <= $2 "
                      "RETURNING events",
                      {bucket, now, quiet, allowance, capShift, maxDelay, firstDelay})
                .empty();
}

void Database::returnEvent(std::string_view bucket)
{
    m_pool.lease()->run("UPDATE limits SET events = events - 1 WHERE bucket = $1 AND events > 0", {bucket});
}

void Database::clearEvents(std::string_view bucket)
{
    m_pool.lease()->run("DELETE FROM limits WHERE bucket = $1", {bucket});
}

void Database::pruneEvents(std::int64_t before)
{
    m_pool.lease()->run("DELETE FROM limits WHERE last_event < $1", {before});
}

} // namespace tern::server
