#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

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

// Accounts, each account's stored snapshot and the shared items, in one SQLite file inside the data
// folder. Both are created on first use. Every method is safe to call from any thread: calls are
// serialised on one connection. Failures throw DatabaseError.
class Database
{
public:
    static constexpr const char* kFileName = "tern.sqlite3";

    explicit Database(const std::string& dataDir);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // E-mail addresses match without regard to ASCII letter case.
    std::optional<Account> findAccount(std::string_view email);
    // False when an account with that e-mail exists already.
    bool createAccount(std::string_view email, std::string_view passwordHash);

    // Replaces the account's snapshot.
    void saveSnapshot(std::int64_t accountId, std::string_view bytes);
    std::optional<std::string> readSnapshot(std::int64_t accountId);

    // False when the key is taken already (the caller draws a new one).
    bool addShare(std::string_view key, std::int64_t accountId, int kind, std::string_view data,
                  std::int64_t created);
    std::optional<SharedItem> findShare(std::string_view key);
    // The account's shares, newest first, at most `limit`.
    std::vector<ShareSummary> listShares(std::int64_t accountId, int limit);

private:
    std::mutex m_mutex;
    sqlite3* m_db = nullptr;
};

} // namespace tern::server
