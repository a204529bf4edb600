#pragma once

// Path conventions of the platform the program is built for. The only place above the platform
// implementations that knows them.
namespace tern::platform {

// kDesktopProgramFile: the file name of the desktop program, which the other programs sit beside.

#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
inline constexpr const char* kStartupEntrySuffix = ".lnk";
inline constexpr const char* kDesktopProgramFile = "tern-clipboard.exe";
#else
inline constexpr char kPathDelimiter = '/';
inline constexpr const char* kStartupEntrySuffix = ".desktop";
inline constexpr const char* kDesktopProgramFile = "tern-clipboard";
#endif

} // namespace tern::platform
