#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace tern::server {

class HttpConnection;

// The open connections of one server, counted in all and per client address group, with what each is
// doing: waiting for (the rest of) a request, which a full server may cut, or being answered, which it
// never cuts. Used on the I/O thread only.
class ConnectionTable
{
public:
    using Clock = std::chrono::steady_clock;

    // Counts `connection` under `group` (empty: not counted per address), waiting from now.
    void add(HttpConnection* connection, std::string group);
    // Forgets `connection`; nothing when it is not counted (any more).
    void remove(HttpConnection* connection);
    // The connection waits for a request since `since`, or reads one slowly: it may be cut.
    void markWaiting(HttpConnection* connection, Clock::time_point since);
    // The connection's request is being answered: it is never cut.
    void markBusy(HttpConnection* connection);

    std::size_t size() const noexcept { return m_entries.size(); }
    std::size_t countOf(const std::string& group) const;
    // The connection to cut so that a newcomer from `group` can be served: of the address groups
    // holding the most connections, and more than `group` holds, the connection that has waited
    // longest; nullptr when no such group holds a waiting connection.
    HttpConnection* toShed(const std::string& group) const;
    std::vector<HttpConnection*> all() const;

private:
    struct Entry
    {
        std::string group;
        bool waiting = true;
        Clock::time_point since;
    };
    std::unordered_map<HttpConnection*, Entry> m_entries;
    std::unordered_map<std::string, std::size_t> m_groups;
};

} // namespace tern::server
