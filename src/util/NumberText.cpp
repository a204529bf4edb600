#include "util/NumberText.h"

#include <charconv>

namespace tern {

std::optional<std::int32_t> ParseInt32(std::string_view text) noexcept
{
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

bool ParseStoredBool(const std::optional<std::string>& text, bool fallback) noexcept
{
    if (!text)
        return fallback;
    const auto number = ParseInt32(*text);
    return number ? *number != 0 : fallback;
}

} // namespace tern
