#pragma once

#include "platform/DesktopShell.h"

#include <string>

namespace tern {

// The two folders that language files are read from: the languages shipped with the program, and the
// user's own folder, whose files overlay shipped files of the same name. New and edited language
// files are written to the user's folder, so the program's folder may be read-only.
struct LanguageFolders
{
    // One folder for reading and writing, without a per-user overlay. Implicit: a single folder is
    // what the program had before per-user files, and what tests of the single-folder rules pass.
    LanguageFolders(const std::string& shippedFolder);
    LanguageFolders(const char* shippedFolder) : LanguageFolders(std::string(shippedFolder)) {}
    LanguageFolders(const std::string& shippedFolder, const std::string& userFolder);

    std::string shipped; // ends in a delimiter
    std::string user;    // ends in a delimiter; empty when there is no per-user folder

    // The file read for the language file `fileName`: the user's when it is there, else the shipped one.
    std::string readPath(const std::string& fileName) const;
    // The folder that new language files and edits go to: the user's, else the shipped one.
    const std::string& writeFolder() const noexcept { return user.empty() ? shipped : user; }
    // The path that edits of `fileName` are written to. When only the shipped file exists, it is copied
    // into the user's folder first (creating the folder), so that writing one text keeps all the
    // others. Throws FileError when that copy cannot be made.
    std::string prepareWrite(const std::string& fileName) const;
};

// The language folders of the program whose executable is `shell.programPath()`: the shipped folder
// is "Languages" in the installed data folder when the program runs from an install prefix, else
// "Languages" beside the program; the user's folder is "tern-clipboard/Languages" in the per-user
// data folder (none when the desktop has no such folder).
LanguageFolders ProgramLanguageFolders(const platform::DesktopShell& shell);

} // namespace tern
