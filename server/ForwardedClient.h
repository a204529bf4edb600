#pragma once

#include "http/HttpRequest.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern::server {

// The canonical text of an IPv4 or IPv6 address literal ("::FFFF:10.0.0.1" gives "10.0.0.1"), or
// nullopt when `text` is none.
std::optional<std::string> CanonicalIpAddress(std::string_view text);

// Whether connections from `peer` (an address, or kUnixSocketPeer for a Unix socket) come from one of
// `trustedProxies` (canonical addresses, or kUnixSocketPeer for every connection over the Unix socket).
bool IsTrustedProxy(const std::string& peer, const std::vector<std::string>& trustedProxies);

// The address a request is counted against by the per-address limits. A request whose peer is one of
// `trustedProxies` (canonical addresses) is counted against the last address of its last
// X-Forwarded-For field, the one that proxy wrote; a request from any other peer, or one whose last
// forwarded address is not an address, is counted against its peer. Addresses that the client itself
// put earlier in the field are never believed.
std::string ForwardedClient(const HttpRequest& req, const std::vector<std::string>& trustedProxies);

} // namespace tern::server
