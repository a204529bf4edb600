#include "LoaderOverFakes.h"

#include <filesystem>

namespace tern::test {

// The program folder is the temporary folder itself.
LoaderOverFakes::LoaderOverFakes() : m_folders(installUnder(m_folder, "")) {}

LoaderOverFakes::~LoaderOverFakes() = default;

TLoader& LoaderOverFakes::loader()
{
    if (!m_loader) {
        std::filesystem::create_directories(m_folders.data);
        m_loader = std::make_unique<TLoader>(services, m_folders);
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
