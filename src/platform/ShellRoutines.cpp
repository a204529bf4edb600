#include "platform/ShellRoutines.h"

#include "platform/PathRules.h"
#include "util/Errors.h"
#include "util/FileRoutines.h"
#include "util/TextRoutines.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tern {

namespace {

std::string startupEntryPath(const platform::DesktopShell& shell, const std::string& name)
{
    return StartupFolder(shell) + platform::kPathDelimiter + name + platform::kStartupEntrySuffix;
}

std::string lowerCopy(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string SpecialFolderPath(const platform::DesktopShell& shell, platform::SpecialFolder folder)
{
    return shell.specialFolderPath(folder);
}

std::string AppDataPath(const platform::DesktopShell& shell, const std::string& name)
{
    const std::string folder = SpecialFolderPath(shell, platform::SpecialFolder::ApplicationData);
    if (!folder.empty())
        return IncludeTrailingSlash(folder) + name;
    return IncludeTrailingSlash(ExtractFilePath(shell.programPath())) + "AppData" + platform::kPathDelimiter;
}

std::string StartupFolder(const platform::DesktopShell& shell)
{
    std::string folder = SpecialFolderPath(shell, platform::SpecialFolder::Startup);
    if (folder.empty())
        throw Error("The start-up folder of this desktop is not known.");
    return folder;
}

bool StartupShortcutExists(const platform::DesktopShell& shell, const std::string& name)
{
    return FileExists(startupEntryPath(shell, name));
}

std::string DesktopProgramPath(const platform::DesktopShell& shell)
{
    return IncludeTrailingSlash(ExtractFilePath(shell.programPath())) + platform::kDesktopProgramFile;
}

std::string InstalledDataFolder(const platform::DesktopShell& shell)
{
    const std::string program = ExtractFilePath(shell.programPath());
    if (program.empty())
        return {};
    const std::filesystem::path folder =
        (std::filesystem::path(program) / TERN_INSTALLED_DATA_FROM_PROGRAM).lexically_normal();
    std::error_code error;
    if (!std::filesystem::is_directory(folder / "Languages", error))
        return {};
    return IncludeTrailingSlash(folder.string());
}

void SetStartupShortcut(platform::DesktopShell& shell, const std::string& target, const std::string& name,
                        bool create)
{
    const std::string path = startupEntryPath(shell, name);
    if (FileExists(path) && !RemoveFile(path))
        throw FileError("Cannot delete file \"" + path + "\"");
    if (create) {
        CreateFolders(StartupFolder(shell));
        shell.writeStartupEntry(path, target, IncludeTrailingSlash(ExtractFilePath(target)));
    }
}

std::string OpenTargetText(const std::string& target)
{
    const std::string lower = lowerCopy(target);
    const size_t separator = lower.find("://");
    // Positions count from 1: "https://" has its separator at position 6.
    if (separator == std::string::npos || separator + 1 <= 6 || lower.rfind("mailto:", 0) == 0)
        return target;
    return '"' + target + '"';
}

bool IsWebAddress(const std::string& text)
{
    const std::string lower = lowerCopy(text);
    return (lower.rfind("http://", 0) == 0 && lower.size() > 7) ||
           (lower.rfind("https://", 0) == 0 && lower.size() > 8);
}

void OpenTarget(platform::DesktopShell& shell, platform::MessageBoxes* boxes, const std::string& target,
                bool showErrors)
{
    const std::string passedOn = OpenTargetText(target);
    const bool opened = IsWebAddress(passedOn) && shell.openTarget(passedOn);
    if (!opened && showErrors && boxes) {
        // The query of an address may carry the password value (the history page's): never shown.
        const std::string shown = passedOn.substr(0, passedOn.find_first_of("?#"));
        boxes->show("Unable to open target: \"" + shown + "\"", "Error", platform::MessageIcon::Error,
                    platform::MessageButtons::Ok);
    }
}

} // namespace tern
