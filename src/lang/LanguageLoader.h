#pragma once

#include "lang/LngFile.h"

#include <optional>
#include <string>

namespace tern {

// A source of texts over one parsed language file, with a fallback source asked when a text is
// missing. Lookups never throw.
class TLanguageLoader
{
public:
    static constexpr const char* kMissingText = "no-value";
    static constexpr const char* kNoFormText = "-error-";

    // Parses the file at `path` (a missing file gives an empty text source). With a form name, that
    // name becomes the section of form-relative keys (ReadFormText).
    void Apply(const std::string& path, const std::optional<std::string>& formName = std::nullopt);

    // The text of `key`: "_" stands for "."; a key ".name" reads section "global", ".section.name" reads
    // that section; a backslash-n pair becomes CR LF. Asks the fallback when the text is "no-value".
    std::string ReadText(const std::string& section, const std::string& key, bool allowFallback) const;

    // ReadText in the section named like the form last applied, or "-error-" without one.
    std::string ReadFormText(const std::string& key) const;

    bool hasIni() const noexcept { return m_ini.has_value(); }
    const std::optional<std::string>& formName() const noexcept { return m_formName; }

    const TLanguageLoader* Fallback = nullptr;

private:
    std::optional<LngFile> m_ini;
    std::optional<std::string> m_formName;
};

} // namespace tern
