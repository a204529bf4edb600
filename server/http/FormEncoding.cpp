#include "http/FormEncoding.h"

#include <set>

namespace tern::server {
namespace {

int hexValue(char c) noexcept
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::string PercentDecode(std::string_view text, bool plusIsSpace)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            result += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else if (c == '+' && plusIsSpace) {
            result += ' ';
        } else {
            result += c;
        }
    }
    return result;
}

void ParseFormFields(std::string_view text, std::multimap<std::string, std::string>& params)
{
    std::set<std::string_view> seen;
    while (!text.empty()) {
        const std::size_t amp = text.find('&');
        const std::string_view field = text.substr(0, amp);
        text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
        if (field.empty() || !seen.insert(field).second)
            continue;
        const std::size_t eq = field.find('=');
        const std::string_view name = field.substr(0, eq);
        const std::string_view value =
            eq == std::string_view::npos ? std::string_view() : field.substr(eq + 1);
        if (!name.empty())
            params.emplace(PercentDecode(name, true), PercentDecode(value, true));
    }
}

} // namespace tern::server
