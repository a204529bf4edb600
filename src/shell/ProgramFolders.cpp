#include "shell/ProgramFolders.h"

#include "platform/PathRules.h"
#include "platform/ShellRoutines.h"
#include "util/FileRoutines.h"
#include "util/ProductName.h"
#include "util/TextRoutines.h"

namespace tern {

ProgramFolders ProgramFolders::resolveAndCreate(const platform::DesktopShell& shell)
{
    ProgramFolders folders;
    folders.program = IncludeTrailingSlash(ExtractFilePath(shell.programPath()));
    const std::string installed = InstalledDataFolder(shell);
    const std::string shipped = installed.empty() ? folders.program : installed;
    folders.help = shipped + "Help" + platform::kPathDelimiter;
    const LanguageFolders languages = ProgramLanguageFolders(shell);
    folders.languages = languages.shipped;
    folders.userLanguages = languages.user;
    folders.data = IncludeTrailingSlash(AppDataPath(shell, kProductName));
    CreateFolders(folders.data);
    if (installed.empty()) {
        CreateFolders(folders.help);
        CreateFolders(folders.languages);
    }
    return folders;
}

} // namespace tern
