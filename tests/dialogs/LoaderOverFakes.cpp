#include "LoaderOverFakes.h"

#include "shell/ProgramFolders.h"

#include <filesystem>

namespace tern::test {

LoaderOverFakes::LoaderOverFakes() : services{shell, settings, clipboard, hotkeys, keys, focus, messageBoxes}
{
    shell.program = m_folder.file("tern-clipboard");
    shell.folders[platform::SpecialFolder::ApplicationData] = m_folder.file("data");
    shell.folders[platform::SpecialFolder::Startup] = m_folder.file("autostart");
    std::filesystem::create_directories(m_folder.file("Languages"));
    std::filesystem::copy_file(TERN_SOURCE_LANGUAGES_DIR "/english.lng",
                               m_folder.file("Languages/english.lng"));
}

LoaderOverFakes::~LoaderOverFakes() = default;

TLoader& LoaderOverFakes::loader()
{
    if (!m_loader) {
        ProgramFolders folders;
        folders.program = m_folder.path() + "/";
        folders.help = folders.program + "Help/";
        folders.languages = folders.program + "Languages/";
        folders.data = m_folder.file("data") + "/Tern Clipboard/";
        std::filesystem::create_directories(folders.data);
        m_loader = std::make_unique<TLoader>(services, folders);
    }
    return *m_loader;
}

std::vector<std::string> LoaderOverFakes::messageTexts() const
{
    std::vector<std::string> texts;
    for (const auto& shown : messageBoxes.shown)
        texts.push_back(shown.text);
    return texts;
}

} // namespace tern::test
