#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tern::server {

// A database call failed. The message names the operation and the engine's text, never bound values.
class DatabaseError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Bytes bound as a binary value (BLOB / bytea) rather than as text.
struct SqlBlob
{
    std::string_view bytes;
};

// One bound parameter: an integer, a text (valid UTF-8) or bytes.
using SqlParam = std::variant<std::int64_t, std::string_view, SqlBlob>;

// One column of a result row: integer columns fill `integer`, text and binary columns fill `bytes`.
struct SqlCell
{
    bool isNull = true;
    std::int64_t integer = 0;
    std::string bytes;
};

using SqlRow = std::vector<SqlCell>;

// One open connection to the service's database. Statements are written once for every engine:
// parameters are numbered $1, $2, ... and the SQL keeps to what SQLite and PostgreSQL both accept.
// Every statement is prepared once per connection and reused. A connection is used by one thread at
// a time. Every failure throws DatabaseError.
class SqlConnection
{
public:
    virtual ~SqlConnection() = default;

    // Runs one prepared statement with `params` and returns every row it produced.
    virtual std::vector<SqlRow> run(std::string_view sql, std::initializer_list<SqlParam> params = {}) = 0;
    // Runs a fixed script of statements without parameters (the schema).
    virtual void runScript(std::string_view script) = 0;

    // Starts a transaction that will write; writers of other connections wait for it.
    virtual void beginWrite() = 0;
    // Makes the schema changes of this transaction exclusive among every process that uses the
    // database, until commit or rollback.
    virtual void lockSchema() = 0;
    void commit() { run("COMMIT"); }
    void rollback() { run("ROLLBACK"); }

    // False once the connection to the engine is lost; the connection is then thrown away.
    virtual bool isUsable() const = 0;

    // The engine's spelling of the schema's column types (see Schema.cpp).
    enum class Dialect { Sqlite, Postgres };
    virtual Dialect dialect() const noexcept = 0;
};

// Runs `work` inside a write transaction on `connection`: committed when it returns, rolled back
// when it throws.
template <typename Work> auto InWriteTransaction(SqlConnection& connection, Work&& work)
{
    connection.beginWrite();
    try {
        if constexpr (std::is_void_v<decltype(work())>) {
            work();
            connection.commit();
        } else {
            auto result = work();
            connection.commit();
            return result;
        }
    } catch (...) {
        if (connection.isUsable()) {
            try {
                connection.rollback();
            } catch (const DatabaseError&) {
            }
        }
        throw;
    }
}

} // namespace tern::server
