#pragma once

#include <string>
#include <string_view>

namespace tern::server {

// Length of an access key: 24 symbols of 62 carry 142 random bits.
constexpr std::size_t kAccessKeyLength = 24;

// A new access key of letters and digits only, from the system's secure random source.
std::string NewAccessKey();

// Whether `text` has the form of an access key (so that it can be looked up and put in a link).
bool IsAccessKeyForm(std::string_view text) noexcept;

} // namespace tern::server
