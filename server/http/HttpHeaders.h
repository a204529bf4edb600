#pragma once

#include <map>
#include <string>
#include <string_view>

namespace tern::server {

// Orders header names without regard to ASCII case, as HTTP compares them.
struct HeaderNameLess
{
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept;
};

// Header fields by name; a name may occur more than once.
using HttpHeaders = std::multimap<std::string, std::string, HeaderNameLess>;

// Whether `text` may stand in a header name or value as it is: no CR, LF or NUL, which would end the
// field early or split the reply.
bool IsSafeHeaderText(std::string_view text) noexcept;

} // namespace tern::server
