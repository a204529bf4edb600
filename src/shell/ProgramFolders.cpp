#include "shell/ProgramFolders.h"

#include "platform/PathRules.h"
#include "util/FileRoutines.h"
#include "util/ProductName.h"
#include "util/ShellRoutines.h"
#include "util/TextRoutines.h"

namespace tern {

ProgramFolders ProgramFolders::resolveAndCreate(const platform::DesktopShell& shell)
{
    ProgramFolders folders;
    folders.program = IncludeTrailingSlash(ExtractFilePath(shell.programPath()));
    folders.help = folders.program + "Help" + platform::kPathDelimiter;
    folders.languages = folders.program + "Languages" + platform::kPathDelimiter;
    folders.data = IncludeTrailingSlash(AppDataPath(shell, kProductName));
    for (const std::string* folder : {&folders.help, &folders.languages, &folders.data})
        CreateFolders(*folder);
    return folders;
}

} // namespace tern
