#pragma once

#include <functional>
#include <string>

namespace tern {

// The language the user chose, kept by the list of language files. The settings store hands it the
// stored choice when it loads and reads it back when it saves; it knows nothing else of languages.
// Unset members leave the choice to the store alone (read-only users of the settings).
struct LanguageChoice
{
    // The chosen language's file name; empty when none is chosen.
    std::function<std::string()> currentFile;
    // Chooses the language of `fileName`; the list falls back to its default for a file it lacks.
    std::function<void(const std::string& fileName)> selectFile;
    // Whether the user changed the language since the program last laid it out.
    std::function<bool()> modified;
    std::function<void(bool modified)> setModified;
};

// The choice kept by `languages`: an object with CurrentFileName(), SelectFile() and a Modified flag
// (the language module), which must outlive the store that uses the choice.
template <typename Languages> LanguageChoice LanguageChoiceOf(Languages& languages)
{
    return {[&languages] { return languages.CurrentFileName(); },
            [&languages](const std::string& fileName) { languages.SelectFile(fileName); },
            [&languages] { return languages.Modified; },
            [&languages](bool modified) { languages.Modified = modified; }};
}

} // namespace tern
