#include "lang/LanguageTexts.h"

#include "lang/LangModule.h"
#include "util/TextRoutines.h"

namespace tern {

LanguageTexts::LanguageTexts(const std::string& languagesFolder)
    : m_folder(IncludeTrailingSlash(languagesFolder))
{
    EnglishTexts.Apply(m_folder + TLangModule::kEnglishFile);
    CurrentTexts.Fallback = &EnglishTexts;
}

void LanguageTexts::reloadCurrent(const std::string& fileName, const std::optional<std::string>& formName)
{
    // With no language selected, the current source stays empty and every text comes from English.
    CurrentTexts.Apply(fileName.empty() ? std::string() : m_folder + fileName, formName);
}

} // namespace tern
