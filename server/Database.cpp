#include "Database.h"

#include "SqliteStatement.h"

#include <filesystem>

#include <sqlite3.h>

namespace tern::server {
namespace {

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS accounts (
    id            INTEGER PRIMARY KEY,
    email         TEXT NOT NULL UNIQUE COLLATE NOCASE,
    password_hash TEXT NOT NULL,
    created       INTEGER NOT NULL DEFAULT (strftime('%s', 'now'))
);
CREATE TABLE IF NOT EXISTS snapshots (
    account_id INTEGER PRIMARY KEY REFERENCES accounts(id) ON DELETE CASCADE,
    data       BLOB NOT NULL,
    updated    INTEGER NOT NULL DEFAULT (strftime('%s', 'now'))
);
CREATE TABLE IF NOT EXISTS shares (
    id         INTEGER PRIMARY KEY AUTOINCREMENT,
    access_key TEXT NOT NULL UNIQUE,
    account_id INTEGER NOT NULL REFERENCES accounts(id) ON DELETE CASCADE,
    kind       INTEGER NOT NULL,
    data       BLOB NOT NULL,
    created    INTEGER NOT NULL
);
CREATE INDEX IF NOT EXISTS shares_by_account ON shares(account_id, id);
)sql";

bool isConstraintViolation(sqlite3* db)
{
    return (sqlite3_extended_errcode(db) & 0xFF) == SQLITE_CONSTRAINT;
}

} // namespace

Database::Database(const std::string& dataDir)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(dataDir, error)) {
        if (!fs::create_directories(dataDir, error))
            throw DatabaseError("cannot create the data folder " + dataDir + ": " + error.message());
        fs::permissions(dataDir, fs::perms::owner_all, error);
    }
    const std::string path = (fs::path(dataDir) / kFileName).string();
    if (sqlite3_open_v2(path.c_str(), &m_db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        const std::string message = m_db != nullptr ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw DatabaseError("cannot open the database " + path + ": " + message);
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, error);
    try {
        sqlite3_busy_timeout(m_db, 5000);
        ExecuteSql(m_db, "PRAGMA journal_mode = WAL; PRAGMA foreign_keys = ON; PRAGMA secure_delete = ON;");
        ExecuteSql(m_db, kSchema);
    } catch (...) {
        sqlite3_close(m_db);
        throw;
    }
}

Database::~Database()
{
    sqlite3_close(m_db);
}

std::optional<Account> Database::findAccount(std::string_view email)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT id, email, password_hash FROM accounts WHERE email = ?1");
    query.bind(1, email);
    if (!query.step())
        return std::nullopt;
    return Account{query.columnInt(0), query.columnText(1), query.columnText(2)};
}

bool Database::createAccount(std::string_view email, std::string_view passwordHash)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement insert(m_db, "INSERT INTO accounts (email, password_hash) VALUES (?1, ?2)");
    insert.bind(1, email).bind(2, passwordHash);
    try {
        insert.run();
    } catch (const DatabaseError&) {
        if (isConstraintViolation(m_db))
            return false;
        throw;
    }
    return true;
}

void Database::saveSnapshot(std::int64_t accountId, std::string_view bytes)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement upsert(m_db, "INSERT INTO snapshots (account_id, data, updated) "
                                 "VALUES (?1, ?2, strftime('%s', 'now')) "
                                 "ON CONFLICT(account_id) DO UPDATE SET data = excluded.data, "
                                 "updated = excluded.updated");
    upsert.bind(1, accountId).bindBlob(2, bytes);
    upsert.run();
}

std::optional<std::string> Database::readSnapshot(std::int64_t accountId)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT data FROM snapshots WHERE account_id = ?1");
    query.bind(1, accountId);
    if (!query.step())
        return std::nullopt;
    return query.columnBlob(0);
}

bool Database::addShare(std::string_view key, std::int64_t accountId, int kind, std::string_view data,
                        std::int64_t created)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement insert(m_db, "INSERT INTO shares (access_key, account_id, kind, data, created) "
                                 "VALUES (?1, ?2, ?3, ?4, ?5)");
    insert.bind(1, key).bind(2, accountId).bind(3, std::int64_t{kind}).bindBlob(4, data).bind(5, created);
    try {
        insert.run();
    } catch (const DatabaseError&) {
        if (isConstraintViolation(m_db))
            return false;
        throw;
    }
    return true;
}

std::optional<SharedItem> Database::findShare(std::string_view key)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT access_key, kind, data, created FROM shares WHERE access_key = ?1");
    query.bind(1, key);
    if (!query.step())
        return std::nullopt;
    return SharedItem{query.columnText(0), static_cast<int>(query.columnInt(1)), query.columnBlob(2),
                      query.columnInt(3)};
}

std::vector<ShareSummary> Database::listShares(std::int64_t accountId, int limit)
{
    std::lock_guard lock(m_mutex);
    SqliteStatement query(m_db, "SELECT access_key, kind, length(data), created FROM shares "
                                "WHERE account_id = ?1 ORDER BY id DESC LIMIT ?2");
    query.bind(1, accountId).bind(2, std::int64_t{limit});
    std::vector<ShareSummary> result;
    while (query.step())
        result.push_back({query.columnText(0), static_cast<int>(query.columnInt(1)), query.columnInt(2),
                          query.columnInt(3)});
    return result;
}

} // namespace tern::server
