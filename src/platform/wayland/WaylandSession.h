#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct wl_display;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_output;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zwlr_data_control_manager_v1;
struct zwlr_screencopy_manager_v1;
struct zwp_virtual_keyboard_manager_v1;
struct zwlr_foreign_toplevel_manager_v1;
struct zwlr_foreign_toplevel_handle_v1;

class QSocketNotifier;

namespace tern::platform::wayland {

// One output of the compositor: its mode in pixels and where it lies in the compositor's logical
// space (the space windows and the pointer live in).
struct WaylandOutput
{
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    std::uint32_t globalName = 0;
    std::string name;
    int x = 0;
    int y = 0;
    int logicalWidth = 0;
    int logicalHeight = 0;
    int pixelWidth = 0;
    int pixelHeight = 0;
    int scale = 1;
    bool hasLogicalGeometry = false;

    // The logical size, derived from the mode and the scale when the compositor gave none.
    int width() const { return logicalWidth > 0 ? logicalWidth : pixelWidth / (scale > 0 ? scale : 1); }
    int height() const { return logicalHeight > 0 ? logicalHeight : pixelHeight / (scale > 0 ? scale : 1); }
};

// A toplevel window of any client, as the foreign-toplevel protocol reports it.
struct WaylandToplevel
{
    zwlr_foreign_toplevel_handle_v1* handle = nullptr;
    std::uint64_t id = 0;
    std::string title;
    std::string appId;
    std::vector<wl_output*> outputs;
    bool activated = false;
    bool minimised = false;
    bool closed = false;
};

// This process's own connection to the Wayland compositor, beside the toolkit's: the globals the
// platform services use (seat, shared memory, outputs and the wlroots protocols for the clipboard,
// screen copies, a virtual keyboard and the toplevel list). Events are served by the GUI thread's
// event loop through a socket notifier, and by the bounded waits below. GUI thread only.
class WaylandSession
{
public:
    // The process's session, opened on first use and shared by the services that hold it; nullptr when
    // no compositor can be reached (WAYLAND_DISPLAY names none).
    static std::shared_ptr<WaylandSession> shared();

    ~WaylandSession();
    WaylandSession(const WaylandSession&) = delete;
    WaylandSession& operator=(const WaylandSession&) = delete;

    wl_display* display() const { return m_display; }
    wl_seat* seat() const { return m_seat; }
    wl_shm* shm() const { return m_shm; }
    zwlr_data_control_manager_v1* dataControl() const { return m_dataControl; }
    zwlr_screencopy_manager_v1* screencopy() const { return m_screencopy; }
    zwp_virtual_keyboard_manager_v1* virtualKeyboards() const { return m_virtualKeyboards; }
    bool hasToplevelList() const { return m_toplevelManager != nullptr; }
    const std::vector<std::unique_ptr<WaylandOutput>>& outputs() const { return m_outputs; }
    const std::vector<std::unique_ptr<WaylandToplevel>>& toplevels() const { return m_toplevels; }
    const WaylandOutput* outputOf(const wl_output* output) const;

    // False once the connection is lost or the compositor reported a protocol error.
    bool healthy() const;

    // Reads and serves the events that have arrived, without waiting; sends what is queued.
    void serveArrived();
    // Serves events until `done` holds; false when `timeoutMs` passes first or the connection fails.
    // While waiting, `watchFd` (when not -1) is watched too and `onWatchFd` runs whenever it is readable.
    bool serveUntil(const std::function<bool()>& done, int timeoutMs, int watchFd = -1,
                    const std::function<void()>& onWatchFd = {});
    // Waits until the compositor has handled every request sent so far and its answers are served.
    bool roundtrip(int timeoutMs = 2000);

private:
    WaylandSession() = default;
    bool open();

    static void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                         std::uint32_t version);
    static void onGlobalRemove(void* data, wl_registry* registry, std::uint32_t name);
    void addOutput(std::uint32_t name, std::uint32_t version);
    void watchOutput(WaylandOutput& output);
    void addToplevel(zwlr_foreign_toplevel_handle_v1* handle);
    friend struct SessionListeners;

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    wl_shm* m_shm = nullptr;
    zxdg_output_manager_v1* m_xdgOutputs = nullptr;
    zwlr_data_control_manager_v1* m_dataControl = nullptr;
    zwlr_screencopy_manager_v1* m_screencopy = nullptr;
    zwp_virtual_keyboard_manager_v1* m_virtualKeyboards = nullptr;
    zwlr_foreign_toplevel_manager_v1* m_toplevelManager = nullptr;
    std::vector<std::unique_ptr<WaylandOutput>> m_outputs;
    std::vector<std::unique_ptr<WaylandToplevel>> m_toplevels;
    std::uint64_t m_nextToplevelId = 1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace tern::platform::wayland
