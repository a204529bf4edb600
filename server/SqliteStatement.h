#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace tern::server {

// A database call failed. The message names the operation and SQLite's text, never bound values.
class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One prepared statement over a connection the caller keeps open. Parameters are numbered from 1,
// columns from 0. Throws DatabaseError on every failure.
class SqliteStatement
{
public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    SqliteStatement& bind(int index, std::int64_t value);
    SqliteStatement& bind(int index, std::string_view text);
    SqliteStatement& bindBlob(int index, std::string_view bytes);

    // Advances to the next row; false when there is none.
    bool step();
    // Runs a statement that returns no rows.
    void run();

    std::int64_t columnInt(int column) const;
    std::string columnText(int column) const;
    std::string columnBlob(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement = nullptr;
};

// Runs one or more statements without parameters.
void ExecuteSql(sqlite3* db, const char* sql);

} // namespace tern::server
