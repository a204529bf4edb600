#pragma once

#include "config/ConfStore.h"
#include "lang/LanguageTexts.h"
#include "shell/ProgramFolders.h"
#include "shell/ShellServices.h"

#include "service/HttpTransport.h"
#include "service/ServiceClient.h"
#include "service/SnapshotClipboard.h"

#include <functional>
#include <memory>
#include <string>

class QRect;
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
// and the service. Lives as long as the tray controller. GUI thread only.
class TLoader
{
public:
    TLoader(ShellServices& services, ProgramFolders folders);
    ~TLoader();

    TLoader(const TLoader&) = delete;
    TLoader& operator=(const TLoader&) = delete;

    // The text of `key` in the current language, else in English, else "no-value".
    std::string GetText(const std::string& section, const std::string& key) const;
    // Re-reads the current language file and, with a form, translates it.
    void TranslateForm(QWidget* form);

    // Bracket every modal window; the first opens and the last closes the tray's dialog state.
    void EnterModal();
    void LeaveModal();
    int ModalCount() const noexcept { return m_modalCount; }
    void setModalStateListener(ModalStateListener* listener) { m_modalListener = listener; }

    // Copies the selection of the window in front and uploads the whole clipboard. Failures are
    // thrown with the text the user sees.
    void RemoteCopy();
    // Downloads the stored clipboard, restores it and pastes it into the window in front.
    void RemotePaste();
    // Publishes what the clipboard holds; its link becomes LastLink and replaces the clipboard, and
    // a balloon offers to open it.
    void ShareClipboard();
    // Sends Ctrl+C and waits up to about 4.2 seconds for the clipboard to change.
    bool SimulateCopy();
    // Sends Ctrl+V.
    bool SimulatePaste();

    // What the user sees while an upload runs (set by the tray).
    void SetUploadWaitHooks(UploadWaitHooks hooks) { m_service->SetUploadWaitHooks(std::move(hooks)); }

    // The history page of the signed-in account.
    std::string HistoryUrl() const { return m_service->HistoryUrl(); }
    ServiceClient& Service() noexcept { return *m_service; }
    // The left-over capture of a share that did not finish.
    std::string LastSnapshotPath() const;

    TConfStore& Conf() noexcept { return *m_conf; }
    const ProgramFolders& Folders() const noexcept { return m_folders; }
    ShellServices& Services() noexcept { return m_services; }
    LanguageTexts& Texts() noexcept { return m_texts; }

    // Shows the one balloon at the tray icon with the title "Tern Clipboard" (kind 0 information,
    // 1 error, 2 warning). The tray controller provides where the icon is.
    void ShowTrayBalloon(const std::string& text, int seconds, int kind);
    void SetTrayIconRect(std::function<QRect()> trayIconRect) { m_trayIconRect = std::move(trayIconRect); }
    // Where the tray icon is; an empty rectangle when that is not known.
    QRect TrayIconRect() const;

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
    std::function<QRect()> m_trayIconRect;
    int m_modalCount = 0;
};

// Runs `action` from a Qt slot or event handler. An error it raises does not leave the slot: it is
// shown with its text in an error message box, as the program shows any error of an action.
void RunReportingErrors(TLoader& loader, const std::function<void()>& action);

// Brackets one modal run with EnterModal/LeaveModal, so that the dialog state ends however the run
// ends, also by an exception.
class ModalScope
{
public:
    explicit ModalScope(TLoader& loader) : m_loader(loader) { m_loader.EnterModal(); }
    ~ModalScope() { m_loader.LeaveModal(); }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;

private:
    TLoader& m_loader;
};

} // namespace tern
