#pragma once

#include "http/HttpLimits.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tern::server {

// How many events a key may cause within one window before it is refused.
struct RateLimit
{
    int maxEvents = 10;
    std::chrono::seconds window{15 * 60};
};

// Everything the service is configured with. The command line sets the first group; the rest keep
// their defaults in production and are lowered by tests.
struct ServerOptions
{
    std::string host = "127.0.0.1";
    int port = 8077; // 0 binds any free port
    std::string dataDir = "tern-data";
    std::uint32_t latestBuild = 0;
    // The lines sent after the status line of an "outdated" answer.
    std::vector<std::string> latestMessage;

    // Failed credential checks per client address and per account e-mail.
    RateLimit failedLoginsPerAddress{10, std::chrono::minutes(15)};
    RateLimit failedLoginsPerAccount{20, std::chrono::minutes(15)};
    // Registration attempts per client address.
    RateLimit registrationsPerAddress{5, std::chrono::hours(1)};

    // Argon2id cost of new password hashes (libsodium's interactive level by default).
    unsigned long long hashOpsLimit = 0;
    std::size_t hashMemLimit = 0;

    // Proxies whose X-Forwarded-For is believed (canonical addresses): the per-address limits count
    // the client each of them names, not the proxy.
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
    std::string message; // usage or the error, for stdout (help) or stderr (error)
    int exitCode = 0;
};

// Reads --listen HOST:PORT, --data DIR, --latest-build N, --latest-message TEXT, --header-timeout S,
// --max-connections N, --threads N, --trusted-proxy ADDRESS (repeatable) and --help.
// The default latest build is `defaultBuild`. In TEXT a line feed or the two characters "\n" start a
// new message line.
CommandLine ParseCommandLine(const std::vector<std::string>& args, std::uint32_t defaultBuild);

// Splits "HOST:PORT" (an IPv6 host in brackets); nullopt when the port is not 0..65535.
std::optional<std::pair<std::string, int>> ParseListenAddress(const std::string& text);

// The usage text printed by --help.
std::string UsageText();

} // namespace tern::server
