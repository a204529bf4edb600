#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tern {

// The whole text read as a signed 32-bit decimal number (an optional sign, then digits); nothing when
// it is empty, holds anything else or does not fit.
std::optional<std::int32_t> ParseInt32(std::string_view text) noexcept;

// A stored Boolean: read as an integer with the default 1 or 0, true when the number is not 0.
bool ParseStoredBool(const std::optional<std::string>& text, bool fallback) noexcept;

} // namespace tern
