#include "lang/LanguageTexts.h"

#include "lang/LangModule.h"

namespace tern {

LanguageTexts::LanguageTexts(const LanguageFolders& folders) : m_folders(folders)
{
    EnglishTexts.Apply(m_folders.readPath(TLangModule::kEnglishFile));
    CurrentTexts.Fallback = &EnglishTexts;
}

void LanguageTexts::reloadCurrent(const std::string& fileName, const std::optional<std::string>& formName)
{
    // With no language selected, the current source stays empty and every text comes from English.
    CurrentTexts.Apply(fileName.empty() ? std::string() : m_folders.readPath(fileName), formName);
}

} // namespace tern
