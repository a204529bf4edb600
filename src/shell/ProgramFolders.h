#pragma once

#include "lang/LanguageFolders.h"
#include "platform/DesktopShell.h"

#include <string>

namespace tern {

// The program's folders, each ending in a path delimiter, resolved once at start.
struct ProgramFolders
{
    std::string program;       // the folder of the running executable
    std::string help;          // "Help" in the folder of the shipped files
    std::string languages;     // "Languages" in the folder of the shipped files: the shipped language files
    std::string data;          // the per-user data folder + the product name: holds "last_snap.bmp"
    std::string userLanguages; // the user's language files, which overlay the shipped ones; may be empty

    // The shipped files lie beside the program, or, for a program installed under a prefix, in the
    // prefix's data folder. Resolves the folders for the running program and creates the ones that
    // are missing, except those of an install prefix, which belong to the installed package; a folder
    // that cannot be created is not reported (later file operations in it fail where they are used).
    static ProgramFolders resolveAndCreate(const platform::DesktopShell& shell);

    LanguageFolders languageFolders() const { return LanguageFolders(languages, userLanguages); }
};

} // namespace tern
