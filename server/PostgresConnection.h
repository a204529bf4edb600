#pragma once

#include "SqlConnection.h"

#include <map>
#include <string>

struct pg_conn;

namespace tern::server {

// A connection to a PostgreSQL server, opened from a connection URL ("postgresql://user@host:port/db",
// with any of libpq's parameters). Values travel apart from the statement text: integers and texts
// as parameters, bytes in binary form; results come back in binary form.
class PostgresConnection final : public SqlConnection
{
public:
    explicit PostgresConnection(const std::string& url);
    ~PostgresConnection() override;
    PostgresConnection(const PostgresConnection&) = delete;
    PostgresConnection& operator=(const PostgresConnection&) = delete;

    std::vector<SqlRow> run(std::string_view sql, std::initializer_list<SqlParam> params = {}) override;
    void runScript(std::string_view script) override;
    void beginWrite() override;
    void lockSchema() override;
    bool isUsable() const override;
    Dialect dialect() const noexcept override { return Dialect::Postgres; }

private:
    const std::string& prepared(std::string_view sql, std::initializer_list<SqlParam> params);
    [[noreturn]] void fail(const char* operation, const std::string& detail) const;

    pg_conn* m_connection = nullptr;
    std::map<std::string, std::string, std::less<>> m_statements; // SQL text -> prepared name
};

} // namespace tern::server
