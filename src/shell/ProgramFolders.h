#pragma once

#include "platform/DesktopShell.h"

#include <string>

namespace tern {

// The program's folders, each ending in a path delimiter, resolved once at start.
struct ProgramFolders
{
    std::string program;   // the folder of the running executable
    std::string help;      // program + "Help"
    std::string languages; // program + "Languages": the language files
    std::string data;      // the per-user data folder + the product name: holds "last_snap.bmp"

    // Resolves the folders for the running program and creates the ones that are missing; a folder
    // that cannot be created is not reported (later file operations in it fail where they are used).
    static ProgramFolders resolveAndCreate(const platform::DesktopShell& shell);
};

} // namespace tern
