#include "platform/wayland/WaylandSession.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-data-control-unstable-v1-client-protocol.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

#include <QSocketNotifier>

#include <wayland-client.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

#include <poll.h>

namespace tern::platform::wayland {

namespace {

std::weak_ptr<WaylandSession>& sharedSession()
{
    static std::weak_ptr<WaylandSession> session;
    return session;
}

template <typename T>
T* bindGlobal(wl_registry* registry, std::uint32_t name, const wl_interface* interface, std::uint32_t offered,
              std::uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, interface, std::min(offered, wanted)));
}

} // namespace

// The event handlers of the session's objects; a friend, so that they can reach its members.
struct SessionListeners
{
    static WaylandOutput* output(void* data) { return static_cast<WaylandOutput*>(data); }

    static void geometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                         std::int32_t, const char*, const char*, std::int32_t)
    {
        // The logical position from the output extension wins over this one, which some compositors
        // leave at the origin.
        if (!output(data)->hasLogicalGeometry) {
            output(data)->x = x;
            output(data)->y = y;
        }
    }
    static void mode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
                     std::int32_t)
    {
        if ((flags & WL_OUTPUT_MODE_CURRENT) != 0) {
            output(data)->pixelWidth = width;
            output(data)->pixelHeight = height;
        }
    }
    static void done(void*, wl_output*) {}
    static void scale(void* data, wl_output*, std::int32_t factor) { output(data)->scale = factor; }
    static void name(void* data, wl_output*, const char* text) { output(data)->name = text; }
    static void description(void*, wl_output*, const char*) {}

    static void logicalPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y)
    {
        output(data)->x = x;
        output(data)->y = y;
        output(data)->hasLogicalGeometry = true;
    }
    static void logicalSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height)
    {
        output(data)->logicalWidth = width;
        output(data)->logicalHeight = height;
    }
    static void xdgDone(void*, zxdg_output_v1*) {}
    static void xdgName(void* data, zxdg_output_v1*, const char* text) { output(data)->name = text; }
    static void xdgDescription(void*, zxdg_output_v1*, const char*) {}

    static void toplevel(void* data, zwlr_foreign_toplevel_manager_v1*,
                         zwlr_foreign_toplevel_handle_v1* handle)
    {
        static_cast<WaylandSession*>(data)->addToplevel(handle);
    }
    static void finished(void*, zwlr_foreign_toplevel_manager_v1*) {}

    static WaylandToplevel* window(void* data) { return static_cast<WaylandToplevel*>(data); }
    static void title(void* data, zwlr_foreign_toplevel_handle_v1*, const char* text)
    {
        window(data)->title = text;
    }
    static void appId(void* data, zwlr_foreign_toplevel_handle_v1*, const char* text)
    {
        window(data)->appId = text;
    }
    static void outputEnter(void* data, zwlr_foreign_toplevel_handle_v1*, wl_output* entered)
    {
        window(data)->outputs.push_back(entered);
    }
    static void outputLeave(void* data, zwlr_foreign_toplevel_handle_v1*, wl_output* left)
    {
        std::erase(window(data)->outputs, left);
    }
    static void state(void* data, zwlr_foreign_toplevel_handle_v1*, wl_array* states)
    {
        window(data)->activated = false;
        window(data)->minimised = false;
        const auto* entry = static_cast<const std::uint32_t*>(states->data);
        for (std::size_t i = 0; i < states->size / sizeof(std::uint32_t); ++i) {
            if (entry[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED)
                window(data)->activated = true;
            if (entry[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED)
                window(data)->minimised = true;
        }
    }
    static void toplevelDone(void*, zwlr_foreign_toplevel_handle_v1*) {}
    static void closed(void* data, zwlr_foreign_toplevel_handle_v1*) { window(data)->closed = true; }
    static void parent(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

    static constexpr wl_output_listener kOutput = {geometry, mode, done, scale, name, description};
    static constexpr zxdg_output_v1_listener kXdgOutput = {logicalPosition, logicalSize, xdgDone, xdgName,
                                                           xdgDescription};
    static constexpr zwlr_foreign_toplevel_manager_v1_listener kToplevels = {toplevel, finished};
    static constexpr zwlr_foreign_toplevel_handle_v1_listener kToplevel = {
        title, appId, outputEnter, outputLeave, state, toplevelDone, closed, parent};
    static constexpr wl_registry_listener kRegistry = {WaylandSession::onGlobal,
                                                       WaylandSession::onGlobalRemove};
};

std::shared_ptr<WaylandSession> WaylandSession::shared()
{
    std::shared_ptr<WaylandSession> session = sharedSession().lock();
    if (session)
        return session;
    session.reset(new WaylandSession());
    if (!session->open())
        return nullptr;
    sharedSession() = session;
    return session;
}

bool WaylandSession::open()
{
    m_display = wl_display_connect(nullptr);
    if (m_display == nullptr)
        return false;
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &SessionListeners::kRegistry, this);
    // The first round brings the globals, the second the state of the objects bound in the first.
    if (!roundtrip() || !roundtrip())
        return false;
    m_notifier = std::make_unique<QSocketNotifier>(wl_display_get_fd(m_display), QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { serveArrived(); });
    return true;
}

WaylandSession::~WaylandSession()
{
    m_notifier.reset();
    if (m_display == nullptr)
        return;
    for (const auto& toplevel : m_toplevels)
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
    if (m_toplevelManager)
        zwlr_foreign_toplevel_manager_v1_stop(m_toplevelManager);
    for (const auto& output : m_outputs) {
        if (output->xdgOutput)
            zxdg_output_v1_destroy(output->xdgOutput);
        wl_output_destroy(output->output);
    }
    if (m_dataControl)
        zwlr_data_control_manager_v1_destroy(m_dataControl);
    if (m_screencopy)
        zwlr_screencopy_manager_v1_destroy(m_screencopy);
    if (m_virtualKeyboards)
        zwp_virtual_keyboard_manager_v1_destroy(m_virtualKeyboards);
    if (m_xdgOutputs)
        zxdg_output_manager_v1_destroy(m_xdgOutputs);
    if (m_shm)
        wl_shm_destroy(m_shm);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    wl_display_flush(m_display);
    wl_display_disconnect(m_display);
}

void WaylandSession::onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                              std::uint32_t version)
{
    auto* self = static_cast<WaylandSession*>(data);
    const std::string_view kind(interface);
    if (kind == wl_seat_interface.name && self->m_seat == nullptr) {
        self->m_seat = bindGlobal<wl_seat>(registry, name, &wl_seat_interface, version, 1);
    } else if (kind == wl_shm_interface.name) {
        self->m_shm = bindGlobal<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (kind == wl_output_interface.name) {
        self->addOutput(name, version);
    } else if (kind == zxdg_output_manager_v1_interface.name) {
        self->m_xdgOutputs =
            bindGlobal<zxdg_output_manager_v1>(registry, name, &zxdg_output_manager_v1_interface, version, 3);
        for (const auto& output : self->m_outputs)
            self->watchOutput(*output);
    } else if (kind == zwlr_data_control_manager_v1_interface.name) {
        self->m_dataControl = bindGlobal<zwlr_data_control_manager_v1>(
            registry, name, &zwlr_data_control_manager_v1_interface, version, 1);
    } else if (kind == zwlr_screencopy_manager_v1_interface.name) {
        self->m_screencopy = bindGlobal<zwlr_screencopy_manager_v1>(
            registry, name, &zwlr_screencopy_manager_v1_interface, version, 1);
    } else if (kind == zwp_virtual_keyboard_manager_v1_interface.name) {
        self->m_virtualKeyboards = bindGlobal<zwp_virtual_keyboard_manager_v1>(
            registry, name, &zwp_virtual_keyboard_manager_v1_interface, version, 1);
    } else if (kind == zwlr_foreign_toplevel_manager_v1_interface.name) {
        self->m_toplevelManager = bindGlobal<zwlr_foreign_toplevel_manager_v1>(
            registry, name, &zwlr_foreign_toplevel_manager_v1_interface, version, 3);
        zwlr_foreign_toplevel_manager_v1_add_listener(self->m_toplevelManager, &SessionListeners::kToplevels,
                                                      self);
    }
}

void WaylandSession::onGlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    auto* self = static_cast<WaylandSession*>(data);
    std::erase_if(self->m_outputs, [name](const std::unique_ptr<WaylandOutput>& output) {
        if (output->globalName != name)
            return false;
        if (output->xdgOutput)
            zxdg_output_v1_destroy(output->xdgOutput);
        wl_output_destroy(output->output);
        return true;
    });
}

void WaylandSession::addOutput(std::uint32_t name, std::uint32_t version)
{
    auto output = std::make_unique<WaylandOutput>();
    output->globalName = name;
    output->output = bindGlobal<wl_output>(m_registry, name, &wl_output_interface, version, 4);
    wl_output_add_listener(output->output, &SessionListeners::kOutput, output.get());
    watchOutput(*output);
    m_outputs.push_back(std::move(output));
}

void WaylandSession::watchOutput(WaylandOutput& output)
{
    if (m_xdgOutputs == nullptr || output.xdgOutput != nullptr)
        return;
    output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(m_xdgOutputs, output.output);
    zxdg_output_v1_add_listener(output.xdgOutput, &SessionListeners::kXdgOutput, &output);
}

void WaylandSession::addToplevel(zwlr_foreign_toplevel_handle_v1* handle)
{
    // Closed windows are forgotten when the next one appears, so that the list does not grow.
    std::erase_if(m_toplevels, [](const std::unique_ptr<WaylandToplevel>& toplevel) {
        if (!toplevel->closed)
            return false;
        zwlr_foreign_toplevel_handle_v1_destroy(toplevel->handle);
        return true;
    });
    auto toplevel = std::make_unique<WaylandToplevel>();
    toplevel->handle = handle;
    toplevel->id = m_nextToplevelId++;
    zwlr_foreign_toplevel_handle_v1_add_listener(handle, &SessionListeners::kToplevel, toplevel.get());
    m_toplevels.push_back(std::move(toplevel));
}

const WaylandOutput* WaylandSession::outputOf(const wl_output* output) const
{
    for (const auto& known : m_outputs) {
        if (known->output == output)
            return known.get();
    }
    return nullptr;
}

bool WaylandSession::healthy() const
{
    return m_display != nullptr && wl_display_get_error(m_display) == 0;
}

void WaylandSession::serveArrived()
{
    serveUntil([] { return true; }, 0);
    // A broken connection stays readable: the notifier would fire without end.
    if (!healthy() && m_notifier)
        m_notifier->setEnabled(false);
}

bool WaylandSession::serveUntil(const std::function<bool()>& done, int timeoutMs, int watchFd,
                                const std::function<void()>& onWatchFd)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool first = true;
    while (healthy()) {
        if (wl_display_dispatch_pending(m_display) < 0)
            return false;
        if (wl_display_prepare_read(m_display) != 0)
            continue;
        wl_display_flush(m_display);
        // The first pass always looks at the socket, so that a zero time-out still reads what arrived.
        if (!first && done()) {
            wl_display_cancel_read(m_display);
            return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        const int wait = first ? 0 : static_cast<int>(std::max<std::int64_t>(left.count(), 0));
        pollfd fds[2] = {{wl_display_get_fd(m_display), POLLIN, 0}, {watchFd, POLLIN, 0}};
        const int ready = ::poll(fds, watchFd >= 0 ? 2 : 1, wait);
        if (ready > 0 && (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
            if (wl_display_read_events(m_display) < 0)
                return false;
        } else {
            wl_display_cancel_read(m_display);
        }
        if (ready < 0 && errno != EINTR)
            return false;
        if (wl_display_dispatch_pending(m_display) < 0)
            return false;
        if (watchFd >= 0 && ready > 0 && (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0 && onWatchFd)
            onWatchFd();
        if (done())
            return true;
        if (!first && Clock::now() >= deadline)
            return false;
        first = false;
    }
    return false;
}

bool WaylandSession::roundtrip(int timeoutMs)
{
    bool answered = false;
    wl_callback* callback = wl_display_sync(m_display);
    static constexpr wl_callback_listener kListener = {
        [](void* data, wl_callback*, std::uint32_t) { *static_cast<bool*>(data) = true; }};
    wl_callback_add_listener(callback, &kListener, &answered);
    const bool served = serveUntil([&answered] { return answered; }, timeoutMs);
    wl_callback_destroy(callback);
    return served;
}

} // namespace tern::platform::wayland
