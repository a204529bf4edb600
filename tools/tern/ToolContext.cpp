#include "ToolContext.h"

#include "platform/HeadlessServices.h"
#include "platform/PathRules.h"
#include "util/FileRoutines.h"
#include "util/TextRoutines.h"

namespace tern::tool {

ToolContext::ToolContext() = default;

ToolContext::~ToolContext() = default;

platform::DesktopShell& ToolContext::shell()
{
    if (!m_shell)
        m_shell = platform::CreateDesktopShell();
    return *m_shell;
}

std::string ToolContext::languagesFolder()
{
    return IncludeTrailingSlash(ExtractFilePath(shell().programPath())) + "Languages" +
           platform::kPathDelimiter;
}

TConfStore& ToolContext::store(bool readOnly)
{
    if (!m_store) {
        if (!m_settings)
            m_settings = platform::CreateSettingsBackend();
        m_store = std::make_unique<TConfStore>(*m_settings, shell(), languagesFolder());
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
        m_texts = std::make_unique<LanguageTexts>(languagesFolder());
        m_texts->reloadCurrent(store(true).LangModule->CurrentFileName());
    }
    return *m_texts;
}

} // namespace tern::tool
