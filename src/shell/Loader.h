#pragma once

#include "annotate/AnnotateContext.h"
#include "config/ConfServiceSettings.h"
#include "config/ConfStore.h"
#include "lang/LangModule.h"
#include "lang/LanguageTexts.h"
#include "shell/ClipboardSnapshots.h"
#include "shell/ProgramFolders.h"
#include "shell/ShellServices.h"
#include "ui/DialogContext.h"

#include "service/HttpTransport.h"
#include "service/ServiceClient.h"

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

// The object that owns the settings, the language texts, the clipboard object and the connection to
// the service (its transport and the client of the account, address and version requests). It is
// the dialogs' and the area selector's context. Lives as long as the tray program. GUI thread only.
class TLoader : public DialogContext, public AnnotateContext
{
public:
    TLoader(ShellServices& services, ProgramFolders folders);
    ~TLoader() override;

    TLoader(const TLoader&) = delete;
    TLoader& operator=(const TLoader&) = delete;

    // The text of `key` in the current language, else in English, else "no-value".
    std::string GetText(const std::string& section, const std::string& key) const override;
    // The connection-problem text of the current language, naming the service address.
    std::string ConnectionProblemText() const;
    // Re-reads the current language file and, with a form, translates it.
    void TranslateForm(QWidget* form) override;

    // Bracket every modal window; the first opens and the last closes the tray's dialog state.
    void EnterModal() override;
    void LeaveModal() override;
    int ModalCount() const noexcept { return m_modalCount; }
    void setModalStateListener(ModalStateListener* listener) { m_modalListener = listener; }
    platform::MessageBoxes& messageBoxes() override { return m_services.messageBoxes; }
    platform::ScreenCapture& Capture() override { return m_services.screen; }

    // The history page of the signed-in account.
    std::string HistoryUrl() const { return m_service->HistoryUrl(); }
    ServiceClient& service() noexcept { return *m_service; }
    HttpTransport& transport() noexcept { return *m_transport; }
    // The clipboard object: whole snapshots and share payloads.
    SnapshotClipboard& snapshots() noexcept { return *m_snapshots; }

    TConfStore& conf() noexcept { return *m_conf; }
    TLangModule& languages() noexcept { return *m_languages; }
    const ProgramFolders& folders() const noexcept { return m_folders; }
    ShellServices& services() noexcept { return m_services; }

private:
    ShellServices& m_services;
    ProgramFolders m_folders;
    std::unique_ptr<TLangModule> m_languages;
    std::unique_ptr<TConfStore> m_conf;
    ConfServiceSettings m_serviceSettings;
    LanguageTexts m_texts;
    std::unique_ptr<HttpTransport> m_transport;
    std::unique_ptr<ClipboardSnapshots> m_snapshots;
    std::unique_ptr<ServiceClient> m_service;
    ModalStateListener* m_modalListener = nullptr;
    int m_modalCount = 0;
};

} // namespace tern
