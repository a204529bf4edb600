#pragma once

#include "shell/Loader.h"
#include "shell/ProgramFolders.h"
#include "support/FakeShellServices.h"
#include "support/TempFolder.h"

#include <memory>
#include <string>
#include <vector>

namespace tern::test {

// A TLoader over fake desktop services in a temporary program folder whose languages folder holds a
// copy of english.lng. Set up the fakes (stored settings, folders) first: the loader is created, and
// reads the settings, on the first call of loader().
class LoaderOverFakes : public FakeShellServices
{
public:
    LoaderOverFakes();
    ~LoaderOverFakes();
    LoaderOverFakes(const LoaderOverFakes&) = delete;
    LoaderOverFakes& operator=(const LoaderOverFakes&) = delete;

    TLoader& loader();
    // Gives the program a per-user languages folder that overlays its own; before the first loader().
    void setUserLanguages(const std::string& folder) { m_folders.userLanguages = folder; }
    const TempFolder& folder() const noexcept { return m_folder; }

    // A text of english.lng, as the dialogs show it.
    std::string text(const std::string& section, const std::string& key)
    {
        return loader().GetText(section, key);
    }
    // The texts of the message boxes shown so far, in order.
    std::vector<std::string> messageTexts() const;

private:
    TempFolder m_folder;
    ProgramFolders m_folders;
    std::unique_ptr<TLoader> m_loader;
};

} // namespace tern::test
