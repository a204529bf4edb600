#pragma once

#include "platform/SettingsBackend.h"

#include <string>
#include <vector>

namespace tern {

// The list of language files in the languages folder and the current language.
class TLangModule
{
public:
    struct DisplayName
    {
        std::string name;
        int fileIndex; // index into FileNames
    };

    static constexpr const char* kEnglishFile = "english.lng";
    static constexpr const char* kSection = "LangModule";

    // Lists the language files of `folder` at once; CurrentIndex is 0 and Modified is true.
    explicit TLangModule(const std::string& folder);

    // Rebuilds both lists from the folder, then selects the current language again by its file
    // name ("english.lng" when that file is gone).
    void ScanFolder();

    // The file name of the current language; empty when no language is selected.
    std::string CurrentFileName() const;
    int CurrentIndex() const noexcept { return m_currentIndex; }

    // Makes the entry at `position` of DisplayNames current; Modified becomes true when it changes.
    void SelectIndex(int position);
    // Selects the language of file `name` (ASCII case-insensitively), else "english.lng", else none.
    void SelectFile(const std::string& name);

    // Reads and writes "CurrentLanguage" and "IsLangModified" of the "LangModule" section.
    void Load(const platform::SettingsBackend& settings);
    void Save(platform::SettingsBackend& settings) const;

    const std::string& Folder() const noexcept { return m_folder; }
    const std::vector<DisplayName>& DisplayNames() const noexcept { return m_displayNames; }
    const std::vector<std::string>& FileNames() const noexcept { return m_fileNames; }

    bool Modified = true;

private:
    void scan();
    int positionOfFile(const std::string& name) const;

    std::string m_folder;
    std::vector<DisplayName> m_displayNames;
    std::vector<std::string> m_fileNames;
    int m_currentIndex = 0;
};

} // namespace tern
