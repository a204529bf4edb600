#pragma once

namespace tern {

// The product's name: the title of its balloons, menus and message boxes, the name of its data folder
// and of its start-up entry.
inline constexpr const char* kProductName = "Tern Clipboard";

// The name of the installed package: its data folder under the install prefix and the per-user folder
// of the user's language files.
inline constexpr const char* kPackageName = TERN_PACKAGE_NAME;

// The desktop's identifier of the program: the name of its desktop entry and of its icon in the icon
// theme, which start-up entries refer to.
inline constexpr const char* kDesktopId = TERN_DESKTOP_ID;

} // namespace tern
