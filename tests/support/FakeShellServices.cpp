#include "support/FakeShellServices.h"

#include <filesystem>

namespace tern::test {

FakeShellServices::FakeShellServices()
    : services{shell, settings, clipboard, hotkeys, keys, focus, messageBoxes, screen, trayClicks, tray}
{
}

ProgramFolders FakeShellServices::installUnder(const TempFolder& root, const std::string& programSubfolder)
{
    const std::string program = root.path() + "/" + programSubfolder;
    ProgramFolders folders{program, program + "Help/", program + "Languages/",
                           root.file("data/Tern Clipboard/"), ""};
    std::filesystem::create_directories(folders.languages);
    std::filesystem::copy_file(TERN_SOURCE_LANGUAGES_DIR "/english.lng", folders.languages + "english.lng");
    shell.program = program + "tern-clipboard";
    shell.folders[platform::SpecialFolder::Startup] = root.file("autostart");
    shell.folders[platform::SpecialFolder::ApplicationData] = root.file("data");
    return folders;
}

} // namespace tern::test
