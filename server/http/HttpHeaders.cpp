#include "http/HttpHeaders.h"

#include "util/TextRoutines.h"

namespace tern::server {

bool HeaderNameLess::operator()(std::string_view a, std::string_view b) const noexcept
{
    return CompareTextAscii(a, b) < 0;
}

bool IsSafeHeaderText(std::string_view text) noexcept
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

} // namespace tern::server
