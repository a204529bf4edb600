#include "platform/x11/XdgDesktopShell.h"

#include "platform/x11/KeyFileText.h"
#include "platform/x11/XdgPaths.h"
#include "util/FileRoutines.h"
#include "util/ProductName.h"

#include <filesystem>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace tern::platform::x11 {

namespace {

// Quotes one argument of an Exec key: inside double quotes, ", `, $ and backslash are escaped; a
// literal % is doubled.
std::string execArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + '"';
}

} // namespace

std::string XdgDesktopShell::specialFolderPath(SpecialFolder folder) const
{
    switch (folder) {
    case SpecialFolder::ApplicationData:
        return XdgDataHome();
    case SpecialFolder::Startup: {
        const std::string config = XdgConfigHome();
        return config.empty() ? std::string() : config + "/autostart";
    }
    }
    return {};
}

std::string XdgDesktopShell::programPath() const
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}

std::string XdgDesktopShell::startupEntryText(const std::string& target, const std::string& workingFolder)
{
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tern Clipboard\n"
           "Exec=" +
           EscapeKeyFileValue(execArgument(target)) +
           "\n"
           "Path=" +
           EscapeKeyFileValue(workingFolder) +
           "\n"
           "Icon=" +
           std::string(kDesktopId) +
           "\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

void XdgDesktopShell::writeStartupEntry(const std::string& path, const std::string& target,
                                        const std::string& workingFolder)
{
    WriteFileAtomically(path, startupEntryText(target, workingFolder), false);
}

bool XdgDesktopShell::openTarget(const std::string& target)
{
    const std::string program = "xdg-open";
    char* arguments[] = {const_cast<char*>(program.c_str()), const_cast<char*>(target.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, program.c_str(), nullptr, nullptr, arguments, environ) != 0)
        return false;
    // The browser may run for long; its exit status is collected without blocking the caller.
    std::thread([child] {
        int status = 0;
        waitpid(child, &status, 0);
    }).detach();
    return true;
}

} // namespace tern::platform::x11
