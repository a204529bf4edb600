#pragma once

#include "lang/LanguageFolders.h"

#include <string>
#include <vector>

namespace tern {

// The list of language files in the languages folders and the current language. A file of the user's
// folder hides the shipped file of the same name; files are named by their bare file names.
class TLangModule
{
public:
    struct DisplayName
    {
        std::string name;
        int fileIndex; // index into FileNames
    };

    static constexpr const char* kEnglishFile = "english.lng";

    // Lists the language files of `folders` at once; CurrentIndex is 0 and Modified is true.
    explicit TLangModule(const LanguageFolders& folders);

    // Rebuilds both lists from the folders, then selects the current language again by its file
    // name ("english.lng" when that file is gone).
    void ScanFolder();

    // The file name of the current language; empty when no language is selected.
    std::string CurrentFileName() const;
    int CurrentIndex() const noexcept { return m_currentIndex; }

    // Makes the entry at `position` of DisplayNames current; Modified becomes true when it changes.
    void SelectIndex(int position);
    // Selects the language of file `name` (ASCII case-insensitively), else "english.lng", else none.
    void SelectFile(const std::string& name);

    // The folders it reads: the shipped one and the user's, which overlays it.
    const LanguageFolders& Folders() const noexcept { return m_folders; }
    // The file that is read for the listed language file `fileName`.
    std::string FilePath(const std::string& fileName) const { return m_folders.readPath(fileName); }
    const std::vector<DisplayName>& DisplayNames() const noexcept { return m_displayNames; }
    const std::vector<std::string>& FileNames() const noexcept { return m_fileNames; }

    bool Modified = true;

private:
    void scan();
    void scanFolder(const std::string& folder);
    int positionOfFile(const std::string& name) const;

    LanguageFolders m_folders;
    std::vector<DisplayName> m_displayNames;
    std::vector<std::string> m_fileNames;
    int m_currentIndex = 0;
};

} // namespace tern
