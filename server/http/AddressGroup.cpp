#include "http/AddressGroup.h"

#include <algorithm>

#include <arpa/inet.h>

namespace tern::server {

std::string AddressGroup(std::string_view address)
{
    if (address.empty() || address.size() >= INET6_ADDRSTRLEN)
        return std::string(address);
    std::string literal(address);
    char text[INET6_ADDRSTRLEN] = {};
    in_addr v4{};
    if (inet_pton(AF_INET, literal.c_str(), &v4) == 1)
        return inet_ntop(AF_INET, &v4, text, sizeof text);
    in6_addr v6{};
    if (inet_pton(AF_INET6, literal.c_str(), &v6) != 1)
        return literal;
    if (IN6_IS_ADDR_V4MAPPED(&v6)) {
        std::copy_n(v6.s6_addr + 12, 4, reinterpret_cast<unsigned char*>(&v4.s_addr));
        return inet_ntop(AF_INET, &v4, text, sizeof text);
    }
    std::fill(v6.s6_addr + 8, v6.s6_addr + 16, 0);
    return std::string(inet_ntop(AF_INET6, &v6, text, sizeof text)) + "/64";
}

} // namespace tern::server
