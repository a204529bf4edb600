#pragma once

#include "platform/PathRules.h"

#include <algorithm>
#include <string>

namespace tern::test {

// A path written with '/' in the delimiter of the system the tests run on.
inline std::string NativePath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', platform::kPathDelimiter);
    return path;
}

// The start-up entry's file name for `name` on this system.
inline std::string StartupEntryFile(const std::string& name)
{
    return name + platform::kStartupEntrySuffix;
}

} // namespace tern::test
