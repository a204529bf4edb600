#include "platform/x11/X11RemoteSender.h"

#include "platform/posix/IniSettingsFile.h"
#include "platform/x11/X11RemoteProtocol.h"
#include "platform/x11/XcbLibrary.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include <poll.h>

namespace tern::platform::x11 {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

struct Atoms
{
    xcb_atom_t netWmName = XCB_ATOM_NONE;
    xcb_atom_t utf8String = XCB_ATOM_NONE;
    xcb_atom_t message = XCB_ATOM_NONE;
    xcb_atom_t reply = XCB_ATOM_NONE;
    xcb_atom_t instanceKey = XCB_ATOM_NONE;
};

Atoms InternAtoms(xcb_connection_t* connection)
{
    const XcbLibrary& xcb = XcbLibrary::get();
    constexpr int kCount = 5;
    const char* names[kCount] = {"_NET_WM_NAME", "UTF8_STRING", kRemoteMessageAtom, kRemoteReplyAtom,
                                 kInstanceKeyAtom};
    xcb_intern_atom_cookie_t cookies[kCount];
    for (int i = 0; i < kCount; ++i)
        cookies[i] =
            xcb.internAtom(connection, 0, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
    xcb_atom_t atoms[kCount] = {};
    for (int i = 0; i < kCount; ++i) {
        const Reply<xcb_intern_atom_reply_t> reply(xcb.internAtomReply(connection, cookies[i], nullptr),
                                                   &std::free);
        atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }
    return {atoms[0], atoms[1], atoms[2], atoms[3], atoms[4]};
}

std::vector<xcb_window_t> Children(xcb_connection_t* connection, xcb_window_t window)
{
    const XcbLibrary& xcb = XcbLibrary::get();
    const Reply<xcb_query_tree_reply_t> tree(
        xcb.queryTreeReply(connection, xcb.queryTree(connection, window), nullptr), &std::free);
    if (!tree)
        return {};
    const xcb_window_t* children = xcb.queryTreeChildren(tree.get());
    return {children, children + xcb.queryTreeChildrenLength(tree.get())};
}

// Whether the property reply holds exactly `text`; false when the property is missing.
bool HoldsText(const Reply<xcb_get_property_reply_t>& reply, const std::string& text)
{
    const XcbLibrary& xcb = XcbLibrary::get();
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 8 || reply->bytes_after != 0)
        return false;
    const auto length = static_cast<std::size_t>(xcb.getPropertyValueLength(reply.get()));
    return length == text.size() && std::memcmp(xcb.getPropertyValue(reply.get()), text.data(), length) == 0;
}

// The windows titled alike that may receive the message: the first whose instance key is ours, and
// the first that has no key at all.
struct Candidates
{
    xcb_window_t sameKey = XCB_WINDOW_NONE;
    xcb_window_t noKey = XCB_WINDOW_NONE;
};

// Reading one item more than the text needs shows a longer value through bytes_after.
std::uint32_t LongsFor(const std::string& text)
{
    return static_cast<std::uint32_t>(text.size() / 4 + 2);
}

// Adds the windows of `windows` titled `title` to `found`. All requests are sent before any answer is
// read.
void FindTitled(xcb_connection_t* connection, const std::vector<xcb_window_t>& windows,
                const std::string& title, const std::string& instanceKey, const Atoms& atoms,
                Candidates& found)
{
    const XcbLibrary& xcb = XcbLibrary::get();
    struct Cookies
    {
        xcb_get_property_cookie_t netName;
        xcb_get_property_cookie_t name;
        xcb_get_property_cookie_t key;
    };
    std::vector<Cookies> cookies;
    cookies.reserve(windows.size());
    for (const xcb_window_t window : windows)
        cookies.push_back(
            {xcb.getProperty(connection, 0, window, atoms.netWmName, atoms.utf8String, 0, LongsFor(title)),
             xcb.getProperty(connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             LongsFor(title)),
             xcb.getProperty(connection, 0, window, atoms.instanceKey, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             LongsFor(instanceKey))});
    for (std::size_t i = 0; i < windows.size(); ++i) {
        const Reply<xcb_get_property_reply_t> netName(
            xcb.getPropertyReply(connection, cookies[i].netName, nullptr), &std::free);
        const Reply<xcb_get_property_reply_t> name(xcb.getPropertyReply(connection, cookies[i].name, nullptr),
                                                   &std::free);
        const Reply<xcb_get_property_reply_t> key(xcb.getPropertyReply(connection, cookies[i].key, nullptr),
                                                  &std::free);
        const bool hasNetName = netName && netName->type != XCB_ATOM_NONE;
        if (!(hasNetName ? HoldsText(netName, title) : HoldsText(name, title)))
            continue;
        const bool hasKey = key && key->type != XCB_ATOM_NONE;
        if (!hasKey) {
            if (found.noKey == XCB_WINDOW_NONE)
                found.noKey = windows[i];
        } else if (HoldsText(key, instanceKey) && found.sameKey == XCB_WINDOW_NONE) {
            found.sameKey = windows[i];
        }
    }
}

// The windows of the root and their children: a window manager puts a frame around every mapped
// top-level window, while unmapped ones stay children of the root.
xcb_window_t FindTopLevel(xcb_connection_t* connection, xcb_window_t root, const std::string& title,
                          const std::string& instanceKey, const Atoms& atoms)
{
    Candidates found;
    const std::vector<xcb_window_t> topLevel = Children(connection, root);
    FindTitled(connection, topLevel, title, instanceKey, atoms, found);
    if (found.sameKey != XCB_WINDOW_NONE)
        return found.sameKey;
    std::vector<xcb_window_t> nested;
    for (const xcb_window_t window : topLevel) {
        const std::vector<xcb_window_t> children = Children(connection, window);
        nested.insert(nested.end(), children.begin(), children.end());
    }
    FindTitled(connection, nested, title, instanceKey, atoms, found);
    return found.sameKey != XCB_WINDOW_NONE ? found.sameKey : found.noKey;
}

xcb_window_t RootOfScreen(xcb_connection_t* connection, int screenNumber)
{
    const XcbLibrary& xcb = XcbLibrary::get();
    xcb_screen_iterator_t screens = xcb.setupRootsIterator(xcb.getSetup(connection));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb.screenNext(&screens);
    return screens.rem > 0 ? screens.data->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// Waits until `deadline` for the answer to `message` at `window`.
std::optional<std::int64_t> AwaitReply(xcb_connection_t* connection, xcb_window_t window,
                                       std::uint32_t message, xcb_atom_t replyAtom,
                                       std::chrono::steady_clock::time_point deadline)
{
    const XcbLibrary& xcb = XcbLibrary::get();
    for (;;) {
        while (xcb_generic_event_t* event = xcb.pollForEvent(connection)) {
            const Reply<xcb_generic_event_t> owned(event, &std::free);
            if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
                continue;
            const auto* client = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (client->window == window && client->type == replyAtom && client->format == 32 &&
                client->data.data32[0] == message)
                return static_cast<std::int32_t>(client->data.data32[1]);
        }
        if (xcb.connectionHasError(connection))
            return std::nullopt;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return std::nullopt;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        pollfd descriptor{xcb.getFileDescriptor(connection), POLLIN, 0};
        ::poll(&descriptor, 1, static_cast<int>(std::min<std::int64_t>(left.count(), 100)));
    }
}

} // namespace

std::string SessionInstanceKey()
{
    // The same file reached through another spelling of the path is the same user.
    const std::filesystem::path file(IniSettingsFile::defaultPath());
    std::error_code failed;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(file, failed);
    if (failed || canonical.empty())
        canonical = file;
    const std::string path = canonical.lexically_normal().string();
    // FNV-1a, 64 bits: stable across builds and processes, unlike std::hash.
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const unsigned char c : path) {
        hash ^= c;
        hash *= 0x100000001b3ULL;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::optional<std::int64_t> SendRemoteMessage(const std::string& title, std::uint32_t message,
                                              std::int64_t wParam, std::int64_t lParam, int timeoutMs,
                                              const std::string& instanceKey)
{
    const XcbLibrary& xcb = XcbLibrary::get();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    int screenNumber = 0;
    const std::unique_ptr<xcb_connection_t, decltype(xcb.disconnect)> connection(
        xcb.connect(nullptr, &screenNumber), xcb.disconnect);
    if (!connection || xcb.connectionHasError(connection.get()))
        return std::nullopt;
    xcb_connection_t* c = connection.get();
    const xcb_window_t root = RootOfScreen(c, screenNumber);
    const Atoms atoms = InternAtoms(c);
    if (root == XCB_WINDOW_NONE || atoms.message == XCB_ATOM_NONE || atoms.reply == XCB_ATOM_NONE)
        return std::nullopt;
    const xcb_window_t target = FindTopLevel(c, root, title, instanceKey, atoms);
    if (target == XCB_WINDOW_NONE)
        return std::nullopt;

    // An unmapped window of our own receives the answer; it goes with the connection.
    const xcb_window_t own = xcb.generateId(c);
    xcb.createWindow(c, 0, own, root, -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0,
                     nullptr);
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = target;
    event.type = atoms.message;
    event.data.data32[0] = message;
    event.data.data32[1] = static_cast<std::uint32_t>(wParam);
    event.data.data32[2] = static_cast<std::uint32_t>(lParam);
    event.data.data32[3] = own;
    // An empty event mask delivers the event to the client that created the window.
    const xcb_void_cookie_t sent =
        xcb.sendEventChecked(c, 0, target, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    if (xcb_generic_error_t* error = xcb.requestCheck(c, sent)) {
        // The window went away between the search and the send.
        std::free(error);
        return std::nullopt;
    }
    return AwaitReply(c, own, message, atoms.reply, deadline);
}

} // namespace tern::platform::x11
