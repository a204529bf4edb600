#include "platform/posix/XdgDesktopShell.h"

#include "platform/posix/KeyFileText.h"
#include "platform/posix/XdgPaths.h"
#include "util/FileRoutines.h"
#include "util/ProductName.h"

#include <cerrno>
#include <filesystem>
#include <thread>
#include <utility>

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

// Tests `done` every few milliseconds, sleeping between the tests, until it holds or `timeout` passes.
bool sleepingWait(std::chrono::milliseconds timeout, const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

XdgDesktopShell::XdgDesktopShell(BoundedWait wait)
    : m_wait(wait ? std::move(wait) : BoundedWait(sleepingWait))
{
}

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
    // xdg-open ends with a failure status when no handler takes the address; where it hands the
    // address to a browser it may instead run as long as the browser does.
    int status = 0;
    bool ended = false;
    bool known = true;
    const auto collected = [&] {
        if (!ended) {
            const pid_t reaped = waitpid(child, &status, WNOHANG);
            ended = reaped == child || (reaped < 0 && errno != EINTR);
            known = reaped == child;
        }
        return ended;
    };
    if (!m_wait(kOpenVerdictTime, collected) && !collected()) {
        // Still running: the browser took the address. Its status is collected without blocking.
        std::thread([child] {
            int laterStatus = 0;
            waitpid(child, &laterStatus, 0);
        }).detach();
        return true;
    }
    // A child reaped elsewhere gives no status; it was started, which is all that is known.
    return !known || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

} // namespace tern::platform::x11
