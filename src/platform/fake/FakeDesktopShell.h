#pragma once

#include "platform/DesktopShell.h"

#include <map>
#include <string>
#include <vector>

namespace tern::platform::fake {

// A shell over folders that a test chooses. Start-up entries are written as real files so that their
// existence can be checked; opened targets are recorded.
class FakeDesktopShell final : public DesktopShell
{
public:
    std::string specialFolderPath(SpecialFolder folder) const override
    {
        const auto found = folders.find(folder);
        return found == folders.end() ? std::string() : found->second;
    }
    std::string programPath() const override { return program; }
    void writeStartupEntry(const std::string& path, const std::string& target,
                           const std::string& workingFolder) override;
    bool openTarget(const std::string& target) override
    {
        openedTargets.push_back(target);
        return openSucceeds;
    }

    std::map<SpecialFolder, std::string> folders;
    std::string program = "/opt/tern/tern-clipboard";
    std::vector<std::string> openedTargets;
    bool openSucceeds = true;
    int startupEntriesWritten = 0;
};

} // namespace tern::platform::fake
