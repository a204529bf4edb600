#include "shell/Loader.h"

#include "lang/TextKeys.h"
#include "service/HttpTransport.h"
#include "shell/ClipboardSnapshots.h"
#include "ui/FormTranslator.h"
#include "util/TextRoutines.h"

#include <QWidget>

namespace tern {

TLoader::TLoader(ShellServices& services, ProgramFolders folders)
    : m_services(services), m_folders(std::move(folders)),
      m_languages(std::make_unique<TLangModule>(m_folders.languageFolders())),
      m_conf(std::make_unique<TConfStore>(services.settings, services.shell, LanguageChoiceOf(*m_languages))),
      m_serviceSettings(*m_conf), m_texts(m_folders.languageFolders()),
      m_transport(CreateHttpTransport(m_conf->CaFile))
{
    TranslateForm(nullptr);
    m_snapshots =
        std::make_unique<ClipboardSnapshots>(services.clipboard, m_conf->Password, m_conf->EndToEndKey,
                                             [this] { return TextOf(*this, text::kCopyFailed); });
    m_service = std::make_unique<ServiceClient>(
        m_serviceSettings,
        [this](const std::string& section, const std::string& key) { return GetText(section, key); },
        *m_transport, *m_snapshots);
}

// The service client goes first: it aborts and waits for the update checks still running.
TLoader::~TLoader()
{
    m_service.reset();
}

std::string TLoader::GetText(const std::string& section, const std::string& key) const
{
    return m_texts.GetText(section, key);
}

std::string TLoader::ConnectionProblemText() const
{
    return tern::ConnectionProblemText(*this, m_conf->ServiceHost);
}

void TLoader::TranslateForm(QWidget* form)
{
    ui::TranslateForm(m_texts, m_languages->CurrentFileName(), form);
}

void TLoader::EnterModal()
{
    if (m_modalCount++ == 0 && m_modalListener)
        m_modalListener->EnterModalState();
}

void TLoader::LeaveModal()
{
    if (m_modalCount > 0 && --m_modalCount == 0 && m_modalListener)
        m_modalListener->LeaveModalState();
}

} // namespace tern
