#pragma once

#include "SqlConnection.h"

#include <map>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tern::server {

// A connection to one SQLite file, created with its folder when missing (both readable by the owner
// only). Write-ahead logging synced at checkpoints, foreign keys on, deleted data overwritten.
class SqliteConnection final : public SqlConnection
{
public:
    explicit SqliteConnection(const std::string& path);
    ~SqliteConnection() override;
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    std::vector<SqlRow> run(std::string_view sql, std::initializer_list<SqlParam> params = {}) override;
    void runScript(std::string_view script) override;
    void beginWrite() override;
    void lockSchema() override {} // a write transaction holds the only write lock already
    bool isUsable() const override { return true; }
    Dialect dialect() const noexcept override { return Dialect::Sqlite; }

private:
    sqlite3_stmt* prepared(std::string_view sql);
    [[noreturn]] void fail(const char* operation) const;

    sqlite3* m_db = nullptr;
    std::map<std::string, sqlite3_stmt*, std::less<>> m_statements;
};

} // namespace tern::server
