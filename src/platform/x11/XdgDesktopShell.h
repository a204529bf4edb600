#pragma once

#include "platform/DesktopShell.h"

namespace tern::platform::x11 {

// The freedesktop.org shell: XDG base folders, autostart entries and xdg-open.
class XdgDesktopShell final : public DesktopShell
{
public:
    std::string specialFolderPath(SpecialFolder folder) const override;
    std::string programPath() const override;
    void writeStartupEntry(const std::string& path, const std::string& target,
                           const std::string& workingFolder) override;
    bool openTarget(const std::string& target) override;

    // The text of an autostart desktop entry that starts `target` in `workingFolder`, shown with the
    // program's icon from the icon theme.
    static std::string startupEntryText(const std::string& target, const std::string& workingFolder);
};

} // namespace tern::platform::x11
