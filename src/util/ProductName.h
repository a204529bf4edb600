#pragma once

namespace tern {

// The product's name: the title of its balloons, menus and message boxes, the name of its data folder
// and of its start-up entry.
inline constexpr const char* kProductName = "Tern Clipboard";

} // namespace tern
