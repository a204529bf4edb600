#include "lang/LanguageLoader.h"

#include "util/TextRoutines.h"

namespace tern {

void TLanguageLoader::Apply(const std::string& path, const std::optional<std::string>& formName)
{
    m_ini = LngFile::load(path);
    if (formName)
        m_formName = formName;
}

std::string TLanguageLoader::ReadText(const std::string& section, const std::string& key,
                                      bool allowFallback) const
{
    const std::string resolvedKey = ReplaceAll(key, "_", ".");
    std::string lookupSection = section;
    std::string lookupKey = resolvedKey;
    if (!resolvedKey.empty() && resolvedKey.front() == '.') {
        const std::string second = DelimitedField(2, resolvedKey, '.');
        if (second == ".") {
            lookupSection = "global";
            lookupKey = DelimitedField(1, resolvedKey, '.');
        } else {
            lookupSection = DelimitedField(1, resolvedKey, '.');
            lookupKey = second;
        }
    }

    std::string text = kMissingText;
    if (m_ini) {
        if (auto found = m_ini->text(lookupSection, lookupKey))
            text = ReplaceAll(*found, "\\n", "\r\n");
    }
    if (allowFallback && Fallback && text == kMissingText)
        return Fallback->ReadText(section, key, true);
    return text;
}

std::string TLanguageLoader::ReadFormText(const std::string& key) const
{
    if (!m_formName)
        return kNoFormText;
    return ReadText(*m_formName, key, true);
}

} // namespace tern
