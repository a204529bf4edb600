#pragma once

#include "platform/DesktopShell.h"
#include "platform/MessageBoxes.h"

#include <string>

namespace tern {

// Path of a special folder, empty when the desktop has none.
std::string SpecialFolderPath(const platform::DesktopShell& shell, platform::SpecialFolder folder);

// The per-user application data folder with a trailing delimiter and `name` appended; without such a
// folder, the program's folder + "AppData" + delimiter (then `name` is not appended).
std::string AppDataPath(const platform::DesktopShell& shell, const std::string& name);

// The folder of programs started at log-on. Throws Error when the desktop has none.
std::string StartupFolder(const platform::DesktopShell& shell);

// Whether the start-up entry called `name` exists in the start-up folder.
bool StartupShortcutExists(const platform::DesktopShell& shell, const std::string& name);

// The desktop program in the running program's folder: what a start-up entry starts, whichever of
// the programs writes it.
std::string DesktopProgramPath(const platform::DesktopShell& shell);

// The folder of the files shipped with an installed program, with a trailing delimiter: for a program
// in <prefix>/bin it is <prefix>/share/tern-clipboard/ when that holds a "Languages" folder. Empty when
// the program runs from a folder that holds its files itself (a build tree, a copied folder).
std::string InstalledDataFolder(const platform::DesktopShell& shell);

// Removes the start-up entry called `name`, then, with `create`, writes a new one that starts `target`
// in `target`'s folder. Errors reach the caller.
void SetStartupShortcut(platform::DesktopShell& shell, const std::string& target, const std::string& name,
                        bool create);

// The text that is handed to the shell for `target`: unchanged when it has no "://", has it within
// its first six characters or is a "mailto:" address; otherwise enclosed in double quotes.
std::string OpenTargetText(const std::string& target);

// True for an "http://" or "https://" address (scheme in any letter case).
bool IsWebAddress(const std::string& text);

// Opens a web address in the browser. Anything but an http or https address is refused. On failure,
// with `showErrors`, a message box says 'Unable to open target: "<target>"', the target without its
// query and fragment (a query may hold the password value).
void OpenTarget(platform::DesktopShell& shell, platform::MessageBoxes* boxes, const std::string& target,
                bool showErrors);

} // namespace tern
