#include "lang/LangModule.h"

#include "lang/LngFile.h"
#include "lang/TextKeys.h"
#include "util/NumberText.h"
#include "util/TextRoutines.h"

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

namespace tern {

namespace {

// Files made for an older program than this build number are marked in the list.
constexpr int kOldestCurrentBuild = 10;

bool hasLngExtension(const std::string& name)
{
    return name.size() > 4 && SameTextAscii(std::string_view(name).substr(name.size() - 4), ".lng");
}

} // namespace

TLangModule::TLangModule(const LanguageFolders& folders) : m_folders(folders)
{
    scan();
}

void TLangModule::scanFolder(const std::string& folder)
{
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code statError;
        // Ordinary visible files only: folders and hidden files are skipped.
        if (name.empty() || name.front() == '.' || !hasLngExtension(name) || !it->is_regular_file(statError))
            continue;
        // A name listed from the user's folder hides the shipped file of that name.
        if (std::find(m_fileNames.begin(), m_fileNames.end(), name) != m_fileNames.end())
            continue;
        const int fileIndex = static_cast<int>(m_fileNames.size());
        m_fileNames.push_back(name);
        const LngFile file = LngFile::load(folder + name);
        std::string displayName =
            file.profileString(text::kLanguageName.section, text::kLanguageName.key, name);
        if (file.profileInt(text::kForBuild.section, text::kForBuild.key, 0) < kOldestCurrentBuild)
            displayName += " -";
        m_displayNames.push_back(DisplayName{displayName, fileIndex});
    }
}

void TLangModule::scan()
{
    m_displayNames.clear();
    m_fileNames.clear();
    if (!m_folders.user.empty() && m_folders.user != m_folders.shipped)
        scanFolder(m_folders.user);
    scanFolder(m_folders.shipped);
    std::stable_sort(
        m_displayNames.begin(), m_displayNames.end(),
        [](const DisplayName& a, const DisplayName& b) { return CompareTextAscii(a.name, b.name) < 0; });
}

void TLangModule::ScanFolder()
{
    const std::string current = CurrentFileName();
    scan();
    const int position = positionOfFile(current);
    if (position >= 0 && !current.empty()) {
        m_currentIndex = position; // the same language, only its place in the list may differ
        return;
    }
    SelectFile(kEnglishFile);
}

std::string TLangModule::CurrentFileName() const
{
    if (m_currentIndex < 0 || m_currentIndex >= static_cast<int>(m_displayNames.size()))
        return {};
    const int fileIndex = m_displayNames[static_cast<size_t>(m_currentIndex)].fileIndex;
    return m_fileNames[static_cast<size_t>(fileIndex)];
}

void TLangModule::SelectIndex(int position)
{
    if (position != m_currentIndex) {
        m_currentIndex = position;
        Modified = true;
    }
}

int TLangModule::positionOfFile(const std::string& name) const
{
    const auto file = std::find_if(m_fileNames.begin(), m_fileNames.end(), [&](const std::string& candidate) {
        return SameTextAscii(candidate, name);
    });
    if (file == m_fileNames.end())
        return -1;
    const int fileIndex = static_cast<int>(file - m_fileNames.begin());
    for (size_t i = 0; i < m_displayNames.size(); ++i) {
        if (m_displayNames[i].fileIndex == fileIndex)
            return static_cast<int>(i);
    }
    return -1;
}

void TLangModule::SelectFile(const std::string& name)
{
    int position = positionOfFile(name);
    if (position < 0)
        position = positionOfFile(kEnglishFile);
    SelectIndex(position);
}

} // namespace tern
