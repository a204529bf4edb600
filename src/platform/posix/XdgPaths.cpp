#include "platform/posix/XdgPaths.h"

#include <cstdlib>

namespace tern::platform::x11 {

namespace {

std::string environmentPath(const char* variable, const char* underHome)
{
    const char* value = std::getenv(variable);
    // Only absolute paths count, as the base directory rules require.
    if (value && value[0] == '/')
        return value;
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + underHome;
    return {};
}

} // namespace

std::string XdgConfigHome()
{
    return environmentPath("XDG_CONFIG_HOME", "/.config");
}

std::string XdgDataHome()
{
    return environmentPath("XDG_DATA_HOME", "/.local/share");
}

} // namespace tern::platform::x11
