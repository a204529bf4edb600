#pragma once

#include "platform/fake/FakeClipboard.h"
#include "platform/fake/FakeDesktopShell.h"
#include "platform/fake/FakeGlobalHotkeys.h"
#include "platform/fake/FakeKeyInjector.h"
#include "platform/fake/FakeMessageBoxes.h"
#include "platform/fake/FakeWindowFocus.h"
#include "platform/fake/MemorySettings.h"
#include "shell/Loader.h"
#include "shell/ShellServices.h"
#include "support/TempFolder.h"

#include <memory>
#include <string>
#include <vector>

namespace tern::test {

// A TLoader over fake desktop services in a temporary program folder whose languages folder holds a
// copy of english.lng. Set up the fakes (stored settings, folders) first: the loader is created, and
// reads the settings, on the first call of loader().
class LoaderOverFakes
{
public:
    LoaderOverFakes();
    ~LoaderOverFakes();
    LoaderOverFakes(const LoaderOverFakes&) = delete;
    LoaderOverFakes& operator=(const LoaderOverFakes&) = delete;

    TLoader& loader();
    const TempFolder& folder() const noexcept { return m_folder; }

    // A text of english.lng, as the dialogs show it.
    std::string text(const std::string& section, const std::string& key)
    {
        return loader().GetText(section, key);
    }
    // The texts of the message boxes shown so far, in order.
    std::vector<std::string> messageTexts() const;

    platform::fake::FakeDesktopShell shell;
    platform::fake::MemorySettings settings;
    platform::fake::FakeClipboard clipboard;
    platform::fake::FakeGlobalHotkeys hotkeys;
    platform::fake::FakeKeyInjector keys;
    platform::fake::FakeWindowFocus focus;
    platform::fake::FakeMessageBoxes messageBoxes;
    ShellServices services;

private:
    TempFolder m_folder;
    std::unique_ptr<TLoader> m_loader;
};

} // namespace tern::test
