#pragma once

#include <string>
#include <string_view>

namespace tern::server {

// The peer name of every connection that came over a Unix socket (it has no address).
inline constexpr std::string_view kUnixSocketPeer = "unix";

// The key under which a client address is counted by every per-address limit: an IPv4 address as it
// is, an IPv6 address by its /64 network ("2001:db8:0:1::/64"), since one subscriber is given a whole
// /64 and could otherwise take a fresh address for every request. An IPv4 address written as an
// IPv6 one is the IPv4 address. Text that is no address literal is returned as it is.
std::string AddressGroup(std::string_view address);

} // namespace tern::server
