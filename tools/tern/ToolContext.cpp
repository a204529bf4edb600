#include "ToolContext.h"

#include "lang/LanguageFolders.h"
#include "platform/HeadlessServices.h"

namespace tern::tool {

ToolContext::ToolContext()
    : m_settings(platform::CreateSettingsBackend()), m_shell(platform::CreateDesktopShell())
{
}

ToolContext::~ToolContext() = default;

LanguageFolders ToolContext::languagesFolders() const
{
    return ProgramLanguageFolders(*m_shell);
}

TConfStore& ToolContext::store(bool readOnly)
{
    if (!m_store)
        m_store = std::make_unique<TConfStore>(*m_settings, *m_shell, languagesFolders());
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
        m_texts->reloadCurrent(store(true).LangModule->CurrentFileName());
    }
    return *m_texts;
}

} // namespace tern::tool
