#pragma once

#include "config/ConfStore.h"
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
class TLoader : public DialogContext, public CommandOperations
{
public:
    TLoader(ShellServices& services, ProgramFolders folders);
    ~TLoader() override;

    TLoader(const TLoader&) = delete;
    TLoader& operator=(const TLoader&) = delete;

    // The text of `key` in the current language, else in English, else "no-value".
    std::string GetText(const std::string& section, const std::string& key) const override;
    // Re-reads the current language file and, with a form, translates it.
    void TranslateForm(QWidget* form) override;

    // Bracket every modal window; the first opens and the last closes the tray's dialog state.
    void EnterModal() override;
    void LeaveModal() override;
    int ModalCount() const noexcept { return m_modalCount; }
    void setModalStateListener(ModalStateListener* listener) { m_modalListener = listener; }
    platform::MessageBoxes& messageBoxes() override { return m_services.messageBoxes; }

    // Copies the selection of the window in front and uploads the whole clipboard. Failures are
    // thrown with the text the user sees.
    void RemoteCopy() override;
    // Downloads the stored clipboard, restores it and pastes it into the window in front.
    void RemotePaste() override;
    // Publishes what the clipboard holds; its link becomes LastLink and replaces the clipboard, and
    // a balloon offers to open it.
    void ShareClipboard() override;
    // Sends Ctrl+C and waits up to about 4.2 seconds for the clipboard to change.
    bool SimulateCopy();
    // Sends Ctrl+V.
    bool SimulatePaste();

    // What the user sees while an upload runs (set by the dispatcher).
    void setUploadWaitHooks(UploadWaitHooks hooks) override
    {
        m_service->SetUploadWaitHooks(std::move(hooks));
    }

    // The history page of the signed-in account.
    std::string HistoryUrl() const { return m_service->HistoryUrl(); }
    ServiceClient& service() noexcept { return *m_service; }
    // The left-over capture of a share that did not finish.
    std::string LastSnapshotPath() const override;

    TConfStore& conf() noexcept { return *m_conf; }
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
    ShellServices& m_services;
    ProgramFolders m_folders;
    std::unique_ptr<TConfStore> m_conf;
    LanguageTexts m_texts;
    std::unique_ptr<HttpTransport> m_transport;
    std::unique_ptr<SnapshotClipboard> m_snapshots;
    std::unique_ptr<ServiceClient> m_service;
    ModalStateListener* m_modalListener = nullptr;
    TrayBalloon* m_tray = nullptr;
    NoTrayBalloon m_noTray;
    int m_modalCount = 0;
};

} // namespace tern
