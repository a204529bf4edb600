#pragma once

#include "config/ConfStore.h"
#include "lang/LangModule.h"
#include "lang/LanguageTexts.h"
#include "platform/DesktopShell.h"
#include "platform/SettingsBackend.h"

#include <memory>
#include <string>

namespace tern::tool {

// The settings and language texts of the user running the tool: the same store and language files
// as the desktop program (its shipped languages and the user's own language files). The platform
// services behind them are made on first use, so that commands that need none run without them.
class ToolContext
{
public:
    ToolContext();
    ~ToolContext();

    // The settings store, loaded on first use. With `readOnly` it is not written back at the end.
    TConfStore& store(bool readOnly);
    // The texts of the current language with the English fallback.
    const LanguageTexts& texts();

    LanguageFolders languagesFolders();

private:
    platform::DesktopShell& shell();

    std::unique_ptr<platform::SettingsBackend> m_settings;
    std::unique_ptr<platform::DesktopShell> m_shell;
    // The list of languages keeps the stored language choice; it outlives the store.
    std::unique_ptr<TLangModule> m_languages;
    std::unique_ptr<TConfStore> m_store;
    std::unique_ptr<LanguageTexts> m_texts;
};

} // namespace tern::tool
