#pragma once

#include "http/HttpLimits.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern::server {

// How often a key (an address, an account at an address) may cause an event: `maxEvents` at once,
// then each further one only after a delay that starts at `firstDelay` and doubles with every event
// up to `maxDelay`. A key without events for `window` starts afresh.
struct RateLimit
{
    int maxEvents = 10;
    std::chrono::seconds window{15 * 60};
    std::chrono::seconds firstDelay{1};
    std::chrono::seconds maxDelay{15 * 60};
};

// Everything the service is configured with. The command line sets the first group; the rest keep
// their defaults in production and are lowered by tests.
struct ServerOptions
{
    std::string host = "127.0.0.1";
    int port = 8077; // 0 binds any free port
    // A Unix socket to listen on instead of host and port (empty: none).
    std::string unixSocket;
    std::string dataDir = "tern-data";
    std::uint32_t latestBuild = 0;
    // The lines sent after the status line of an "outdated" answer.
    std::vector<std::string> latestMessage;

    // The PostgreSQL database ("postgresql://..."); empty: the SQLite file in dataDir.
    std::string databaseUrl;
    // Shares older than this many days are no longer served and are deleted; 0 keeps them.
    int shareDays = 0;
    // Per account: how many shares, and how many bytes of shares, it may keep (0: no limit).
    std::int64_t maxShares = 1000;
    std::int64_t maxShareBytes = std::int64_t{200} * 1000 * 1000;

    // Credential checks that may fail per client address, and per account from one address. A
    // request is counted before its check and given back when the check succeeds.
    RateLimit failedLoginsPerAddress{20, std::chrono::hours(1), std::chrono::seconds(1),
                                     std::chrono::minutes(15)};
    RateLimit failedLoginsPerAccountAddress{10, std::chrono::hours(1), std::chrono::seconds(1),
                                            std::chrono::minutes(15)};
    // Registration attempts per client address.
    RateLimit registrationsPerAddress{5, std::chrono::hours(1), std::chrono::hours(1), std::chrono::hours(1)};
    // Questions whether an e-mail has an account, per client address.
    RateLimit validationsPerAddress{30, std::chrono::minutes(10), std::chrono::seconds(1),
                                    std::chrono::minutes(1)};

    // Argon2id cost of new password hashes (libsodium's interactive level by default).
    unsigned long long hashOpsLimit = 0;
    std::size_t hashMemLimit = 0;
    // How long and for how many accounts credentials that passed the full check are remembered.
    std::chrono::seconds verifiedCredentialLifetime{5 * 60};
    std::size_t verifiedCredentialCapacity = 10000;

    // Proxies whose X-Forwarded-For is believed (canonical addresses, or kUnixSocketPeer for whoever
    // connects over the Unix socket): the per-address limits count the client each of them names, not
    // the proxy. Anything that can connect from such an address can name any client it likes.
    std::vector<std::string> trustedProxies;

    // Whether to write one access line per request to stderr.
    bool accessLog = true;

    // Deadlines and sizes of requests, connections and handler threads.
    HttpLimits http;
};

// The result of reading the command line: options to run with, or a text to print and an exit code.
struct CommandLine
{
    std::optional<ServerOptions> options;
    // --delete-account: the e-mail of the account to delete instead of serving (empty: serve).
    std::string deleteAccount;
    std::string message; // usage or the error, for stdout (help) or stderr (error)
    int exitCode = 0;
};

// Reads --listen HOST:PORT or unix:PATH, --delete-account EMAIL, --data DIR, --database URL, --share-days N,
// --max-shares N,
// --max-share-mb N, --latest-build N, --latest-message TEXT, --header-timeout S, --max-connections N,
// --threads N, --trusted-proxy ADDRESS (repeatable), --version and --help.
// The default latest build is `defaultBuild`. In TEXT a line feed or the two characters "\n" start a
// new message line.
CommandLine ParseCommandLine(const std::vector<std::string>& args, std::uint32_t defaultBuild);

// Splits "HOST:PORT" (an IPv6 host in brackets); nullopt when the port is not 0..65535.
std::optional<std::pair<std::string, int>> ParseListenAddress(const std::string& text);

// Whether `url` names a PostgreSQL database ("postgresql://..." or "postgres://...").
bool IsPostgresUrl(std::string_view url) noexcept;

// The usage text printed by --help.
std::string UsageText();

} // namespace tern::server
