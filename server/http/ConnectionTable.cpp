#include "http/ConnectionTable.h"

#include <algorithm>

namespace tern::server {

void ConnectionTable::add(HttpConnection* connection, std::string group)
{
    if (!group.empty())
        ++m_groups[group];
    m_entries[connection] = Entry{std::move(group), true, Clock::now()};
}

void ConnectionTable::remove(HttpConnection* connection)
{
    const auto it = m_entries.find(connection);
    if (it == m_entries.end())
        return;
    if (!it->second.group.empty()) {
        const auto group = m_groups.find(it->second.group);
        if (group != m_groups.end() && --group->second == 0)
            m_groups.erase(group);
    }
    m_entries.erase(it);
}

void ConnectionTable::markWaiting(HttpConnection* connection, Clock::time_point since)
{
    if (const auto it = m_entries.find(connection); it != m_entries.end()) {
        it->second.waiting = true;
        it->second.since = since;
    }
}

void ConnectionTable::markBusy(HttpConnection* connection)
{
    if (const auto it = m_entries.find(connection); it != m_entries.end())
        it->second.waiting = false;
}

std::size_t ConnectionTable::countOf(const std::string& group) const
{
    const auto it = m_groups.find(group);
    return it == m_groups.end() ? 0 : it->second;
}

HttpConnection* ConnectionTable::toShed(const std::string& group) const
{
    std::size_t most = 0;
    for (const auto& [name, count] : m_groups)
        most = std::max(most, count);
    if (most <= countOf(group))
        return nullptr;
    HttpConnection* oldest = nullptr;
    Clock::time_point since = Clock::time_point::max();
    for (const auto& [connection, entry] : m_entries) {
        if (entry.waiting && entry.since < since && !entry.group.empty() && countOf(entry.group) == most) {
            oldest = connection;
            since = entry.since;
        }
    }
    return oldest;
}

std::vector<HttpConnection*> ConnectionTable::all() const
{
    std::vector<HttpConnection*> result;
    result.reserve(m_entries.size());
    for (const auto& [connection, entry] : m_entries)
        result.push_back(connection);
    return result;
}

} // namespace tern::server
