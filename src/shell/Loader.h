#pragma once

#include "annotate/AnnotateContext.h"
#include "config/ConfServiceSettings.h"
#include "config/ConfStore.h"
#include "lang/LangModule.h"
#include "lang/LanguageTexts.h"
#include "notify/TrayBalloon.h"
#include "shell/CommandOperations.h"
#include "shell/ProgramFolders.h"
#include "shell/ShellServices.h"
#include "ui/DialogContext.h"

#include "service/HttpTransport.h"
#include "service/ServiceClient.h"
#include "service/SnapshotClipboard.h"

#include <memory>
#include <string>

class QWidget;

namespace tern {

// Told when the first dialog opens and when the last one closes.
class ModalStateListener
{
public:
    virtual ~ModalStateListener() = default;
    virtual void EnterModalState() = 0;
    virtual void LeaveModalState() = 0;
};

// The one object through which the program reaches the settings, the language texts, the clipboard
// and the service. Lives as long as the tray controller. It is the dialogs' context and runs the
// dispatcher's operations; neither of them sees more of it. GUI thread only.
class TLoader : public DialogContext, public CommandOperations, public AnnotateContext
{
public:
    TLoader(ShellServices& services, ProgramFolders folders);
    ~TLoader() override;

    TLoader(const TLoader&) = delete;
    TLoader& operator=(const TLoader&) = delete;

    // The text of `key` in the current language, else in English, else "no-value".
    std::string GetText(const std::string& section, const std::string& key) const override;
    std::string ConnectionProblemText() const override;
    // Re-reads the current language file and, with a form, translates it.
    void TranslateForm(QWidget* form) override;

    // Bracket every modal window; the first opens and the last closes the tray's dialog state.
    void EnterModal() override;
    void LeaveModal() override;
    int ModalCount() const noexcept { return m_modalCount; }
    void setModalStateListener(ModalStateListener* listener) { m_modalListener = listener; }
    platform::MessageBoxes& messageBoxes() override { return m_services.messageBoxes; }
    platform::ScreenCapture& Capture() override { return m_services.screen; }

    // Copies the selection of the window in front and uploads the whole clipboard. Failures are
    // thrown with the text the user sees.
    void RemoteCopy() override;
    // Downloads the stored clipboard, restores it and pastes it into the window in front.
    void RemotePaste() override;
    // Publishes what the clipboard holds; its link becomes LastLink and replaces the clipboard, and
    // a balloon offers to open it.
    void ShareClipboard() override;
    // Captures the whole virtual desktop, or the window in front with its frame, after `delay`
    // seconds, and shares the picture. The picture stays in LastSnapshotPath until its share succeeded.
    void ShareScreen(bool currentWindowOnly, int delay) override;
    // Lets the user select and annotate an area of the frozen desktop after `delay` seconds and
    // shares it. The palette choices go back into the settings, also when the user cancels.
    void ShareArea(int delay) override;
    // Shares the picture that an earlier share left in LastSnapshotPath again. A file that is not a
    // readable picture is removed and reported.
    void ReshareLastSnapshot() override;
    // Waits `seconds` while serving events, with a balloon when that is longer than 5 seconds. False
    // when the program began to end during the wait: then nothing is to be captured.
    bool DelayCapture(int seconds);
    // The program is ending: a capture delay ends at once and its capture does not happen, and every
    // running exchange with the service is aborted.
    void Terminate() override;

    // Sends Ctrl+C and waits up to about 4.2 seconds for the clipboard to change.
    bool SimulateCopy();
    // Sends Ctrl+V.
    bool SimulatePaste();

    // What the user sees while an upload runs (set by the dispatcher).
    void setUploadWaitHooks(UploadWaitHooks hooks) override
    {
        m_service->setUploadWaitHooks(std::move(hooks));
    }

    // The history page of the signed-in account.
    std::string HistoryUrl() const { return m_service->HistoryUrl(); }
    ServiceClient& service() noexcept { return *m_service; }
    // The left-over capture of a share that did not finish.
    std::string LastSnapshotPath() const override;

    TConfStore& conf() noexcept { return *m_conf; }
    TLangModule& languages() noexcept { return *m_languages; }
    const ProgramFolders& folders() const noexcept { return m_folders; }
    ShellServices& services() noexcept { return m_services; }
    LanguageTexts& texts() noexcept { return m_texts; }

    // The tray icon at which the balloons point; until the tray sets it, balloons show near the corner
    // of the primary monitor. The tray outlives the loader's use of it.
    void setTrayBalloon(TrayBalloon* tray) { m_tray = tray; }
    TrayBalloon& trayBalloon() noexcept { return m_tray ? *m_tray : m_noTray; }

    // The address of the last successful share of this run; empty until then.
    std::string LastLink;

private:
    // Puts the captured picture on the clipboard, keeps it in LastSnapshotPath and shares it; the
    // file goes once the share succeeded.
    void shareCapture(const platform::Bitmap& picture);

    ShellServices& m_services;
    ProgramFolders m_folders;
    std::unique_ptr<TLangModule> m_languages;
    std::unique_ptr<TConfStore> m_conf;
    ConfServiceSettings m_serviceSettings;
    LanguageTexts m_texts;
    std::unique_ptr<HttpTransport> m_transport;
    std::unique_ptr<SnapshotClipboard> m_snapshots;
    std::unique_ptr<ServiceClient> m_service;
    ModalStateListener* m_modalListener = nullptr;
    TrayBalloon* m_tray = nullptr;
    NoTrayBalloon m_noTray;
    int m_modalCount = 0;
    bool m_terminating = false;
};

} // namespace tern
