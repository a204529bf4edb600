#pragma once

#include "notify/TrayBalloon.h"
#include "shell/Loader.h"
#include "shell/ProgramFolders.h"
#include "shell/RemoteTransfer.h"
#include "shell/Shares.h"
#include "shell/ShellServices.h"
#include "shell/TfInit.h"

#include <memory>

namespace tern {

// The tray program's objects, built and wired once: the loader (settings, texts, clipboard object,
// service connection), the notifier, the services of Remote Copy and Paste and of the shares, and
// the tray controller, each given what it uses. Ending it ends the controller first and saves the
// settings last. GUI thread only.
class TrayProgram
{
public:
    TrayProgram(ShellServices& services, ProgramFolders folders);
    ~TrayProgram();
    TrayProgram(const TrayProgram&) = delete;
    TrayProgram& operator=(const TrayProgram&) = delete;

    TfInit& form() noexcept { return *m_form; }
    TLoader& loader() noexcept { return m_loader; }
    Shares& shares() noexcept { return m_shares; }
    Notifier& notifier() noexcept { return m_notifier; }

private:
    // The balloon by the tray icon; where the session shows desktop notifications and the program's
    // own windows cannot be placed (Wayland), the notices go there instead.
    BalloonNotifier m_balloons;
    std::unique_ptr<Notifier> m_desktopNotices;
    Notifier& m_notifier;
    TLoader m_loader;
    RemoteTransfer m_remote;
    Shares m_shares;
    std::unique_ptr<TfInit> m_form; // last: it goes first
};

} // namespace tern
