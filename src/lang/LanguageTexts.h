#pragma once

#include "lang/LanguageFolders.h"
#include "lang/LanguageLoader.h"

#include <string>

namespace tern {

// The two text sources of the program: the current language, and "english.lng" as its fallback,
// loaded once and never reloaded.
class LanguageTexts
{
public:
    explicit LanguageTexts(const LanguageFolders& folders);

    LanguageTexts(const LanguageTexts&) = delete;
    LanguageTexts& operator=(const LanguageTexts&) = delete;

    // Re-parses the current language file `fileName` from the languages folders.
    void reloadCurrent(const std::string& fileName,
                       const std::optional<std::string>& formName = std::nullopt);

    // The text in the current language, else in English, else "no-value".
    std::string GetText(const std::string& section, const std::string& key) const
    {
        return CurrentTexts.ReadText(section, key, true);
    }

    TLanguageLoader CurrentTexts;
    TLanguageLoader EnglishTexts;

private:
    LanguageFolders m_folders;
};

} // namespace tern
