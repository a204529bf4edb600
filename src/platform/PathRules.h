#pragma once

// Path conventions of the platform the program is built for. The only place above the platform
// implementations that knows them.
namespace tern::platform {

#ifdef _WIN32
inline constexpr char kPathDelimiter = '\\';
inline constexpr const char* kStartupEntrySuffix = ".lnk";
#else
inline constexpr char kPathDelimiter = '/';
inline constexpr const char* kStartupEntrySuffix = ".desktop";
#endif

} // namespace tern::platform
