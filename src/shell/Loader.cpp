#include "shell/Loader.h"

#include "lang/TextKeys.h"
#include "notify/Balloon.h"
#include "platform/ShellRoutines.h"
#include "service/HttpTransport.h"
#include "shell/ClipboardSnapshots.h"
#include "ui/EventWait.h"
#include "ui/FormTranslator.h"
#include "util/Errors.h"
#include "util/TextRoutines.h"

#include <QCoreApplication>
#include <QWidget>

#include <chrono>

namespace tern {

namespace {

// How often the transfer wait looks at its worker when nothing wakes it.
constexpr std::chrono::milliseconds kUploadPoll{100};

} // namespace

TLoader::TLoader(ShellServices& services, ProgramFolders folders)
    : m_services(services), m_folders(std::move(folders)),
      m_languages(std::make_unique<TLangModule>(m_folders.languageFolders())),
      m_conf(std::make_unique<TConfStore>(services.settings, services.shell, LanguageChoiceOf(*m_languages))),
      m_serviceSettings(*m_conf), m_texts(m_folders.languageFolders()),
      m_transport(CreateHttpTransport(m_conf->CaFile))
{
    TranslateForm(nullptr);
    m_snapshots = std::make_unique<ClipboardSnapshots>(services.clipboard, m_conf->Password,
                                                       [this] { return TextOf(*this, text::kCopyFailed); });
    m_service = std::make_unique<ServiceClient>(
        m_serviceSettings,
        [this](const std::string& section, const std::string& key) { return GetText(section, key); },
        *m_transport, *m_snapshots);
    // While a transfer runs the interface stays alive, and the wait ends as soon as the worker does.
    m_service->setUploadEventWait([](const std::function<bool()>& done) {
        ui::waitServingEvents(QDeadlineTimer(QDeadlineTimer::Forever), done, kUploadPoll);
    });
    m_service->setWorkerDoneSignal([] { ui::wakeEventWaits(); });
}

TLoader::~TLoader() = default;

void TLoader::Terminate()
{
    m_terminating = true;
    m_service->abortTransfers();
}

std::string TLoader::GetText(const std::string& section, const std::string& key) const
{
    return m_texts.GetText(section, key);
}

std::string TLoader::ConnectionProblemText() const
{
    return SubstituteArgument(TextOf(*this, text::kConnectProblem), m_conf->ServiceHost);
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

bool TLoader::SimulateCopy()
{
    // 21 polls 200 ms apart.
    constexpr std::chrono::milliseconds kCopyWait{4200};
    platform::SystemClipboard& clipboard = m_services.clipboard;
    const std::uint64_t before = clipboard.sequenceNumber();
    m_services.keys.sendCtrlKey('C');
    return ui::waitServingEvents(QDeadlineTimer(kCopyWait),
                                 [&clipboard, before] { return clipboard.sequenceNumber() != before; });
}

bool TLoader::SimulatePaste()
{
    return m_services.keys.sendCtrlKey('V');
}

void TLoader::RemoteCopy()
{
    if (!SimulateCopy())
        throw Error(TextOf(*this, text::kCopyFailed));
    if (!m_service->UploadSnapshot())
        throw Error(TextOf(*this, text::kUploadFailed));
}

void TLoader::RemotePaste()
{
    platform::SystemClipboard& clipboard = m_services.clipboard;
    const std::uint64_t before = clipboard.sequenceNumber();
    const bool downloaded = m_service->DownloadSnapshot();
    QCoreApplication::processEvents(); // lets the clipboard report its change
    if (m_terminating)
        return; // the program is ending: nothing is pasted and nothing reported
    if (!downloaded || clipboard.sequenceNumber() <= before)
        throw Error(TextOf(*this, text::kPasteFailed));
    // Without a way to inject Ctrl+V nothing was pasted, though the clipboard now holds the data.
    if (!SimulatePaste())
        throw Error(TextOf(*this, text::kPasteFailed));
}

void TLoader::ShareClipboard()
{
    const std::string key = m_service->UploadClipboardShare();
    LastLink = m_service->shareLinkUrl(key);
    m_services.clipboard.setText(LastLink);
    TBalloon& balloon = GetBalloon();
    balloon.SetButton1Caption(QString::fromStdString(TextOf(*this, text::kOpenLinkButton)));
    balloon.SetButton1Click([this] {
        HideBalloon();
        OpenTarget(m_services.shell, &m_services.messageBoxes, LastLink, true);
    });
    trayBalloon().showTrayBalloon(balloon, SubstituteArgument(TextOf(*this, text::kLinkStored), LastLink), 10,
                                  BalloonKind::Information);
}

std::string TLoader::LastSnapshotPath() const
{
    return m_folders.data + "last_snap.bmp";
}

} // namespace tern
