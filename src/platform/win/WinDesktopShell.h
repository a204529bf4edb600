#pragma once

#include "platform/DesktopShell.h"

#include <optional>
#include <string>
#include <utility>

namespace tern::platform::win {

// The Windows shell: special folders, the start-up shell link and the default browser.
class WinDesktopShell final : public DesktopShell
{
public:
    std::string specialFolderPath(SpecialFolder folder) const override;
    std::string programPath() const override;
    // A shell link (".lnk") through the shell's link object; the component-object services are set
    // up for the call when the thread has none. Throws FileError when the link cannot be saved.
    void writeStartupEntry(const std::string& path, const std::string& target,
                           const std::string& workingFolder) override;
    // http and https addresses only, through the shell's "open" verb.
    bool openTarget(const std::string& target) override;

    // The target and working folder saved in the shell link at `path`; nothing when it cannot be read.
    static std::optional<std::pair<std::string, std::string>> readShellLink(const std::string& path);
};

} // namespace tern::platform::win
