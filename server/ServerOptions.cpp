#include "ServerOptions.h"

#include "ForwardedClient.h"
#include "http/AddressGroup.h"
#include "util/ProgramVersion.h"

#include <algorithm>
#include <charconv>

namespace tern::server {
namespace {

std::optional<std::uint32_t> parseUnsigned(const std::string& text, std::uint32_t maximum)
{
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value > maximum)
        return std::nullopt;
    return value;
}

// The text with the two characters "\n" and CR LF turned into line feeds.
std::string normaliseBreaks(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            result += '\n';
            ++i;
        } else if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::vector<std::string> messageLines(const std::string& text)
{
    const std::string normalised = normaliseBreaks(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= normalised.size()) {
        const std::size_t end = normalised.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(normalised.substr(start));
            break;
        }
        lines.push_back(normalised.substr(start, end - start));
        start = end + 1;
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

CommandLine failure(const std::string& message)
{
    CommandLine result;
    result.message = "tern-server: " + message + "\n" + UsageText();
    result.exitCode = 2;
    return result;
}

} // namespace

bool IsPostgresUrl(std::string_view url) noexcept
{
    return url.starts_with("postgresql://") || url.starts_with("postgres://");
}

std::string UsageText()
{
    return "Usage: tern-server [--listen HOST:PORT | --listen unix:PATH] [--data DIR | --database URL]\n"
           "                   [--share-days N]"
           " [--max-shares N] [--max-share-mb N] [--latest-build N] [--latest-message TEXT]\n"
           "                   [--header-timeout S] [--max-connections N] [--threads N]\n"
           "                   [--trusted-proxy ADDRESS]...\n"
           "       tern-server [--data DIR | --database URL] --delete-account EMAIL\n"
           "  --listen HOST:PORT     address to serve on (default 127.0.0.1:8077; port 0 picks a free one)\n"
           "  --listen unix:PATH     serve on a Unix socket instead, for a proxy on this computer; put it\n"
           "                         in a folder that only the proxy's user and this one can enter\n"
           "  --data DIR             folder of the SQLite database, created when missing (default "
           "./tern-data)\n"
           "  --database URL         keep everything in this PostgreSQL database instead, for example\n"
           "                         postgresql://tern@127.0.0.1:5432/tern; any number of servers may\n"
           "                         share it. The tables are created or upgraded at start\n"
           "  --share-days N         delete shares N days after they were made (default 0: keep them)\n"
           "  --max-shares N         shares one account may keep (default 1000; 0: no limit)\n"
           "  --max-share-mb N       megabytes of shares one account may keep (default 200; 0: no limit)\n"
           "  --latest-build N       newest client build; older builds are told to update\n"
           "  --latest-message TEXT  lines sent with the update notice (\\n starts a new line)\n"
           "  --header-timeout S     seconds a client has to send a request's headers (default 10); the\n"
           "                         body must follow within S more seconds plus one per 32 KiB that\n"
           "                         it declares\n"
           "  --max-connections N    open connections at most (default 4096, or what the process may\n"
           "                         open); when all are taken, the address holding the most loses\n"
           "                         its longest waiting one. 64 per client address (an IPv6\n"
           "                         client by its /64)\n"
           "  --threads N            threads that check credentials and use the database (default 8)\n"
           "  --trusted-proxy ADDRESS  a proxy in front of the service (repeatable): requests from it\n"
           "                         count against the client address it puts last in X-Forwarded-For;\n"
           "                         \"unix\" trusts whoever connects over the Unix socket. Name only an\n"
           "                         address that nothing but the proxy can connect from: whatever can\n"
           "                         may claim to be any client\n"
           "  --delete-account EMAIL remove the account, its snapshot and its shares (one transaction),\n"
           "                         then exit\n"
           "  --version              print the version\n"
           "  --help                 print this text\n";
}

std::optional<std::pair<std::string, int>> ParseListenAddress(const std::string& text)
{
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return std::nullopt;
    std::string host = text.substr(0, colon);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']')
            return std::nullopt;
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string::npos) {
        return std::nullopt;
    }
    const auto port = parseUnsigned(text.substr(colon + 1), 65535);
    if (!port)
        return std::nullopt;
    return std::make_pair(host, static_cast<int>(*port));
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, std::uint32_t defaultBuild)
{
    ServerOptions options;
    options.latestBuild = defaultBuild;
    std::string deleteAccount;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            CommandLine help;
            help.message = UsageText();
            return help;
        }
        if (name == "--version") {
            CommandLine version;
            version.message = std::string("tern-server ") + kProgramVersion + "\n";
            return version;
        }
        static const std::vector<std::string> kNames = {
            "--listen",       "--data",          "--database",       "--share-days",     "--max-shares",
            "--max-share-mb", "--latest-build",  "--latest-message", "--header-timeout", "--max-connections",
            "--threads",      "--trusted-proxy", "--delete-account"};
        if (std::find(kNames.begin(), kNames.end(), name) == kNames.end())
            return failure("unknown option " + name);
        if (i + 1 >= args.size())
            return failure(name + " needs a value");
        const std::string& value = args[++i];
        if (name == "--listen" && value.starts_with("unix:")) {
            if (value.size() == 5 || value[5] != '/')
                return failure("--listen unix: wants an absolute path, got " + value);
            options.unixSocket = value.substr(5);
        } else if (name == "--listen") {
            const auto address = ParseListenAddress(value);
            if (!address)
                return failure("--listen wants HOST:PORT, got " + value);
            options.host = address->first;
            options.port = address->second;
        } else if (name == "--data") {
            if (value.empty())
                return failure("--data needs a folder");
            options.dataDir = value;
        } else if (name == "--database") {
            if (!IsPostgresUrl(value))
                return failure("--database wants a postgresql:// address");
            options.databaseUrl = value;
        } else if (name == "--share-days" || name == "--max-shares" || name == "--max-share-mb") {
            const auto number = parseUnsigned(value, 1000000);
            if (!number)
                return failure(
                    std::string(name).append(" wants a number from 0 to 1000000, got ").append(value));
            if (name == "--share-days")
                options.shareDays = static_cast<int>(*number);
            else if (name == "--max-shares")
                options.maxShares = *number;
            else
                options.maxShareBytes = std::int64_t{*number} * 1000 * 1000;
        } else if (name == "--latest-build") {
            const auto build = parseUnsigned(value, 65535);
            if (!build)
                return failure("--latest-build wants a number from 0 to 65535, got " + value);
            options.latestBuild = *build;
        } else if (name == "--header-timeout") {
            const auto seconds = parseUnsigned(value, 3600);
            if (!seconds || *seconds == 0)
                return failure("--header-timeout wants seconds from 1 to 3600, got " + value);
            options.http.headerTimeout = std::chrono::seconds(*seconds);
        } else if (name == "--max-connections") {
            const auto count = parseUnsigned(value, 1000000);
            if (!count || *count == 0)
                return failure("--max-connections wants a number from 1 to 1000000, got " + value);
            options.http.maxConnections = *count;
        } else if (name == "--threads") {
            const auto count = parseUnsigned(value, 256);
            if (!count || *count == 0)
                return failure("--threads wants a number from 1 to 256, got " + value);
            options.http.handlerThreads = *count;
        } else if (name == "--trusted-proxy") {
            const auto address =
                value == kUnixSocketPeer ? std::optional<std::string>(value) : CanonicalIpAddress(value);
            if (!address)
                return failure("--trusted-proxy wants an IP address or unix, got " + value);
            options.trustedProxies.push_back(*address);
        } else if (name == "--delete-account") {
            if (value.empty())
                return failure("--delete-account needs an e-mail address");
            deleteAccount = value;
        } else {
            options.latestMessage = messageLines(value);
        }
    }
    CommandLine result;
    result.options = options;
    result.deleteAccount = deleteAccount;
    return result;
}

} // namespace tern::server
