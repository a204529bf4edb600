#include "ToolContext.h"

#include "lang/LanguageFolders.h"
#include "platform/HeadlessServices.h"

namespace tern::tool {

ToolContext::ToolContext() = default;

ToolContext::~ToolContext() = default;

platform::DesktopShell& ToolContext::shell()
{
    if (!m_shell)
        m_shell = platform::CreateDesktopShell();
    return *m_shell;
}

LanguageFolders ToolContext::languagesFolders()
{
    return ProgramLanguageFolders(shell());
}

TConfStore& ToolContext::store(bool readOnly)
{
    if (!m_store) {
        if (!m_settings)
            m_settings = platform::CreateSettingsBackend();
        m_languages = std::make_unique<TLangModule>(languagesFolders());
        m_store = std::make_unique<TConfStore>(*m_settings, shell(), LanguageChoiceOf(*m_languages));
    }
    if (!readOnly)
        m_store->SaveOnDestroy = true;
    else if (m_store)
        m_store->SaveOnDestroy = false;
    return *m_store;
}

const LanguageTexts& ToolContext::texts()
{
    if (!m_texts) {
        m_texts = std::make_unique<LanguageTexts>(languagesFolders());
        m_texts->reloadCurrent(store(true).currentLanguage());
    }
    return *m_texts;
}

} // namespace tern::tool
