#include "shell/TrayProgram.h"

#include "notify/SessionNotifier.h"

namespace tern {

TrayProgram::TrayProgram(ShellServices& services, ProgramFolders folders)
    : m_desktopNotices(CreateSessionNotifier(m_balloons)),
      m_notifier(m_desktopNotices ? *m_desktopNotices : m_balloons), m_loader(services, std::move(folders)),
      m_remote(m_loader.conf(), m_loader, m_loader.snapshots(), services.clipboard, services.keys,
               services.focus),
      m_shares(m_loader.conf(), m_loader, m_loader.snapshots(),
               Shares::Desktop{services.clipboard, services.screen, services.focus, services.shell,
                               services.messageBoxes},
               m_notifier, m_loader.folders().data)
{
    m_form = std::make_unique<TfInit>(
        services, m_loader,
        CommandParts{m_remote, m_shares, m_loader.transport(), m_loader, m_notifier, m_loader}, m_notifier);
    m_balloons.setTray(m_form.get());
}

TrayProgram::~TrayProgram()
{
    m_balloons.setTray(nullptr);
    m_form.reset();
}

} // namespace tern
