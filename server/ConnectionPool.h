#pragma once

#include "SqlConnection.h"

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tern::server {

// Hands out at most `capacity` connections at a time, opened on demand by `open` and kept for reuse.
// A thread that finds none free waits for one. A connection that became unusable is closed when it
// comes back. Safe to use from any thread.
class ConnectionPool
{
public:
    using Opener = std::function<std::unique_ptr<SqlConnection>()>;

    // One connection on loan; it goes back to the pool when the lease ends.
    class Lease
    {
    public:
        Lease(ConnectionPool& pool, std::unique_ptr<SqlConnection> connection)
            : m_pool(pool), m_connection(std::move(connection))
        {
        }
        ~Lease() { m_pool.giveBack(std::move(m_connection)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;

        SqlConnection& operator*() const { return *m_connection; }
        SqlConnection* operator->() const { return m_connection.get(); }

    private:
        ConnectionPool& m_pool;
        std::unique_ptr<SqlConnection> m_connection;
    };

    ConnectionPool(Opener open, std::size_t capacity);

    // A connection for this thread; throws DatabaseError when a new one cannot be opened.
    Lease lease();

private:
    void giveBack(std::unique_ptr<SqlConnection> connection);

    Opener m_open;
    std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_returned;
    std::vector<std::unique_ptr<SqlConnection>> m_idle;
    std::size_t m_onLoan = 0;
};

} // namespace tern::server
