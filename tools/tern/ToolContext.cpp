#include "ToolContext.h"

#include "platform/HeadlessServices.h"
#include "platform/PathRules.h"
#include "util/FileRoutines.h"
#include "util/TextRoutines.h"

namespace tern::tool {

ToolContext::ToolContext()
    : m_settings(platform::CreateSettingsBackend()), m_shell(platform::CreateDesktopShell())
{
}

ToolContext::~ToolContext() = default;

std::string ToolContext::languagesFolder() const
{
    return IncludeTrailingSlash(ExtractFilePath(m_shell->programPath())) + "Languages" +
           platform::kPathDelimiter;
}

TConfStore& ToolContext::store(bool readOnly)
{
    if (!m_store)
        m_store = std::make_unique<TConfStore>(*m_settings, *m_shell, languagesFolder());
    if (!readOnly)
        m_store->SaveOnDestroy = true;
    else if (m_store)
        m_store->SaveOnDestroy = false;
    return *m_store;
}

const LanguageTexts& ToolContext::texts()
{
    if (!m_texts) {
        m_texts = std::make_unique<LanguageTexts>(languagesFolder());
        m_texts->reloadCurrent(store(true).LangModule->CurrentFileName());
    }
    return *m_texts;
}

} // namespace tern::tool
