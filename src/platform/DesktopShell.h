#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace tern::platform {

// Well-known per-user folders, numbered as the Windows shell numbers them.
enum class SpecialFolder : int {
    Startup = 7,         // programs started at log-on
    ApplicationData = 26 // per-user application data
};

// Waits until `done` holds or `timeout` passes; returns whether `done` held. A desktop program supplies
// one that serves its interface's events meanwhile, so that the interface stays alive.
using BoundedWait = std::function<bool(std::chrono::milliseconds timeout, const std::function<bool()>& done)>;

// The desktop's shell: special folders, start-up entries and the browser. GUI thread only.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;

    // Path of the folder without a trailing delimiter; empty when the desktop has no such folder.
    virtual std::string specialFolderPath(SpecialFolder folder) const = 0;

    // Full path of the running program's executable file.
    virtual std::string programPath() const = 0;

    // Writes the start-up entry file at `path` that starts `target` (no arguments) with the working
    // folder `workingFolder`, replacing any file there. Throws FileError when it cannot be written.
    virtual void writeStartupEntry(const std::string& path, const std::string& target,
                                   const std::string& workingFolder) = 0;

    // Asks the desktop to open `target` with its default handler and waits a few seconds at most for
    // the handler's verdict. Returns false when the handler could not be started or reported failure;
    // a handler still running after the wait counts as success (it may be the browser itself).
    virtual bool openTarget(const std::string& target) = 0;
};

} // namespace tern::platform
