#include "AccountRules.h"

namespace tern::server {
namespace {

bool isLabelByte(char c) noexcept
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-';
}

bool isLocalByte(char c) noexcept
{
    if (isLabelByte(c))
        return true;
    constexpr std::string_view kAllowed = "!#$%&'*+/=?^_`{|}~.";
    return kAllowed.find(c) != std::string_view::npos;
}

bool isDomain(std::string_view domain) noexcept
{
    if (domain.empty() || domain.size() > 253 || domain.find('.') == std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= domain.size()) {
        std::size_t end = domain.find('.', start);
        if (end == std::string_view::npos)
            end = domain.size();
        const std::string_view label = domain.substr(start, end - start);
        if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-')
            return false;
        for (const char c : label) {
            if (!isLabelByte(c))
                return false;
        }
        start = end + 1;
    }
    return true;
}

} // namespace

bool IsPasswordValue(std::string_view text) noexcept
{
    if (text.size() != 32)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

bool IsAcceptableEmail(std::string_view text) noexcept
{
    if (text.size() > 254)
        return false;
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos || at == 0 || at > 64 ||
        text.find('@', at + 1) != std::string_view::npos)
        return false;
    const std::string_view local = text.substr(0, at);
    if (local.front() == '.' || local.back() == '.' || local.find("..") != std::string_view::npos)
        return false;
    for (const char c : local) {
        if (!isLocalByte(c))
            return false;
    }
    return isDomain(text.substr(at + 1));
}

} // namespace tern::server
