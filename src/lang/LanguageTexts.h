#pragma once

#include "lang/LanguageLoader.h"

#include <string>

namespace tern {

// The two text sources of the program: the current language, and "english.lng" as its fallback,
// loaded once and never reloaded.
class LanguageTexts
{
public:
    explicit LanguageTexts(const std::string& languagesFolder);

    LanguageTexts(const LanguageTexts&) = delete;
    LanguageTexts& operator=(const LanguageTexts&) = delete;

    // Re-parses the current language file `fileName` from the languages folder.
    void reloadCurrent(const std::string& fileName,
                       const std::optional<std::string>& formName = std::nullopt);

    // The text in the current language, else in English, else "no-value".
    std::string GetText(const std::string& section, const std::string& key) const
    {
        return CurrentTexts.ReadText(section, key, true);
    }

    const std::string& languagesFolder() const noexcept { return m_folder; }

    TLanguageLoader CurrentTexts;
    TLanguageLoader EnglishTexts;

private:
    std::string m_folder;
};

} // namespace tern
