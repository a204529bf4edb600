#pragma once

#include <string>

namespace tern {

// The texts of the user interface in the current language. GUI thread only.
class TextLookup
{
public:
    virtual ~TextLookup() = default;

    // The text of `key` in `section` of the current language (UTF-8), else in English, else
    // "no-value". Never fails.
    virtual std::string GetText(const std::string& section, const std::string& key) const = 0;
};

} // namespace tern
