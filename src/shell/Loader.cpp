#include "shell/Loader.h"

#include "ui/FormTranslator.h"
#include "util/TextRoutines.h"

#include <QWidget>

namespace tern {

TLoader::TLoader(ShellServices& services, ProgramFolders folders)
    : m_services(services), m_folders(std::move(folders)),
      m_conf(std::make_unique<TConfStore>(services.settings, services.shell, m_folders.languageFolders())),
      m_texts(m_folders.languageFolders()), m_transport(CreateHttpTransport(m_conf->CaFile))
{
    TranslateForm(nullptr);
    m_snapshots = std::make_unique<ClipboardSnapshots>(services.clipboard, m_conf->Password,
                                                       [this] { return GetText("GLOBAL", "mCopyFailed"); });
    m_service = std::make_unique<ServiceClient>(
        *m_conf, [this](const std::string& section, const std::string& key) { return GetText(section, key); },
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
    return SubstituteArgument(GetText("FAUTHFORM", "mConnectProb"), m_conf->ServiceHost);
}

void TLoader::TranslateForm(QWidget* form)
{
    ui::TranslateForm(m_texts, m_conf->LangModule->CurrentFileName(), form);
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
