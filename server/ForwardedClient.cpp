#include "ForwardedClient.h"

#include "http/AddressGroup.h"

#include <algorithm>
#include <iterator>

#include <arpa/inet.h>

namespace tern::server {
namespace {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

std::optional<std::string> CanonicalIpAddress(std::string_view text)
{
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN)
        return std::nullopt;
    const std::string literal(text);
    char canonical[INET6_ADDRSTRLEN] = {};
    in_addr v4{};
    if (inet_pton(AF_INET, literal.c_str(), &v4) == 1)
        return inet_ntop(AF_INET, &v4, canonical, sizeof canonical);
    in6_addr v6{};
    if (inet_pton(AF_INET6, literal.c_str(), &v6) != 1)
        return std::nullopt;
    // An IPv4 client seen through an IPv6 socket is the same client.
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
        std::copy_n(v6.s6_addr + 12, 4, reinterpret_cast<unsigned char*>(&v4.s_addr));
        return inet_ntop(AF_INET, &v4, canonical, sizeof canonical);
    }
    return inet_ntop(AF_INET6, &v6, canonical, sizeof canonical);
}

bool IsTrustedProxy(const std::string& peer, const std::vector<std::string>& trustedProxies)
{
    if (trustedProxies.empty())
        return false;
    const auto canonical =
        peer == kUnixSocketPeer ? std::optional<std::string>(peer) : CanonicalIpAddress(peer);
    return canonical &&
           std::find(trustedProxies.begin(), trustedProxies.end(), *canonical) != trustedProxies.end();
}

std::string ForwardedClient(const HttpRequest& req, const std::vector<std::string>& trustedProxies)
{
    if (!IsTrustedProxy(req.remote_addr, trustedProxies))
        return req.remote_addr;
    const auto [first, end] = req.headers.equal_range("X-Forwarded-For");
    if (first == end)
        return req.remote_addr;
    const std::string_view field = std::prev(end)->second;
    const auto comma = field.rfind(',');
    const auto forwarded =
        CanonicalIpAddress(trimmed(comma == std::string_view::npos ? field : field.substr(comma + 1)));
    return forwarded ? *forwarded : req.remote_addr;
}

} // namespace tern::server
