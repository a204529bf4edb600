#include "ConnectionPool.h"

namespace tern::server {

ConnectionPool::ConnectionPool(Opener open, std::size_t capacity)
    : m_open(std::move(open)), m_capacity(capacity == 0 ? 1 : capacity)
{
}

ConnectionPool::Lease ConnectionPool::lease()
{
    std::unique_lock lock(m_mutex);
    m_returned.wait(lock, [this] { return !m_idle.empty() || m_onLoan + m_idle.size() < m_capacity; });
    ++m_onLoan;
    if (!m_idle.empty()) {
        std::unique_ptr<SqlConnection> connection = std::move(m_idle.back());
        m_idle.pop_back();
        return Lease(*this, std::move(connection));
    }
    lock.unlock();
    // Opened outside the lock: connecting to a server takes a round trip.
    try {
        return Lease(*this, m_open());
    } catch (...) {
        lock.lock();
        --m_onLoan;
        m_returned.notify_one();
        throw;
    }
}

void ConnectionPool::giveBack(std::unique_ptr<SqlConnection> connection)
{
    {
        std::lock_guard lock(m_mutex);
        --m_onLoan;
        if (connection && connection->isUsable())
            m_idle.push_back(std::move(connection));
    }
    m_returned.notify_one();
}

} // namespace tern::server
