#pragma once

#include <string_view>

namespace tern::server {

// The one style sheet every page links (served at "/style.css", so no inline style is needed): a
// light layout of cards that stays readable from a phone's width up.
std::string_view StyleSheet();

} // namespace tern::server
