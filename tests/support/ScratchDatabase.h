#pragma once

#include <string>

namespace tern::test {

// The environment variable that names a PostgreSQL database for the service's tests
// ("postgresql://user@host:port/db"). When it is set, every test service keeps its data there, in a
// schema of its own; when it is not, the services use SQLite files in their data folders.
inline constexpr const char* kTestDatabaseVariable = "TERN_TEST_DATABASE_URL";

// A schema of its own in the test database for one test service, dropped with everything in it when
// the object goes. Does nothing when the environment names no database.
class ScratchDatabase
{
public:
    ScratchDatabase();
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    // The address to pass as tern-server's --database: the test database with this schema first in
    // the search path. Empty when the environment names no database.
    const std::string& url() const noexcept { return m_url; }

private:
    std::string m_server; // the test database's own address
    std::string m_schema;
    std::string m_url;
};

} // namespace tern::test
