#include "platform/wayland/WaylandWindowFocus.h"

#include "platform/wayland/WaylandSession.h"
#include "platform/wayland/WaylandWindowHandles.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tern::platform::wayland {

namespace {

WaylandToplevel* findToplevel(const WaylandSession& session, WindowHandle window)
{
    for (const auto& toplevel : session.toplevels()) {
        if (toplevel->id == window && !toplevel->closed)
            return toplevel.get();
    }
    return nullptr;
}

} // namespace

WaylandWindowFocus::WaylandWindowFocus() : m_session(WaylandSession::shared()) {}

WindowHandle WaylandWindowFocus::foregroundWindow()
{
    if (!m_session)
        return 0;
    m_session->serveArrived();
    if (!m_session->hasToplevelList())
        return OutputUnderPointer(*m_session);
    for (const auto& toplevel : m_session->toplevels()) {
        if (toplevel->activated && !toplevel->closed)
            return toplevel->id;
    }
    return 0;
}

bool WaylandWindowFocus::forceForegroundWindow(WindowHandle window)
{
    if (!m_session || window == 0)
        return false;
    m_session->serveArrived();
    if (window >= kOutputHandle)
        return !HandleRect(*m_session, window).empty();
    WaylandToplevel* toplevel = findToplevel(*m_session, window);
    if (toplevel == nullptr || m_session->seat() == nullptr)
        return false;
    if (toplevel->activated)
        return true;
    if (toplevel->minimised)
        zwlr_foreign_toplevel_handle_v1_unset_minimized(toplevel->handle);
    zwlr_foreign_toplevel_handle_v1_activate(toplevel->handle, m_session->seat());
    const std::uint64_t id = toplevel->id;
    return m_session->serveUntil(
               [this, id] {
                   const WaylandToplevel* wanted = findToplevel(*m_session, id);
                   return wanted == nullptr || wanted->activated;
               },
               kActivateTimeoutMs) &&
           findToplevel(*m_session, id) != nullptr;
}

} // namespace tern::platform::wayland
