#include "platform/x11/XcbLibrary.h"

#include "util/Errors.h"

#include <string>

#include <dlfcn.h>

namespace tern::platform::x11 {

namespace {

constexpr const char* kLibraryName = "libxcb.so.1";

std::string loadError(const std::string& detail)
{
    return std::string("Cannot load the X11 client library ") + kLibraryName + ": " + detail;
}

template <typename Function> void bind(void* library, Function& function, const char* name)
{
    void* symbol = ::dlsym(library, name);
    if (!symbol)
        throw Error(loadError(std::string("no function ") + name));
    function = reinterpret_cast<Function>(symbol);
}

XcbLibrary load()
{
    // Never closed: the functions stay valid for the rest of the process.
    void* library = ::dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = ::dlerror();
        throw Error(loadError(reason ? reason : "not found"));
    }
    XcbLibrary xcb;
    bind(library, xcb.connect, "xcb_connect");
    bind(library, xcb.disconnect, "xcb_disconnect");
    bind(library, xcb.connectionHasError, "xcb_connection_has_error");
    bind(library, xcb.getSetup, "xcb_get_setup");
    bind(library, xcb.setupRootsIterator, "xcb_setup_roots_iterator");
    bind(library, xcb.screenNext, "xcb_screen_next");
    bind(library, xcb.internAtom, "xcb_intern_atom");
    bind(library, xcb.internAtomReply, "xcb_intern_atom_reply");
    bind(library, xcb.queryTree, "xcb_query_tree");
    bind(library, xcb.queryTreeReply, "xcb_query_tree_reply");
    bind(library, xcb.queryTreeChildren, "xcb_query_tree_children");
    bind(library, xcb.queryTreeChildrenLength, "xcb_query_tree_children_length");
    bind(library, xcb.getProperty, "xcb_get_property");
    bind(library, xcb.getPropertyReply, "xcb_get_property_reply");
    bind(library, xcb.getPropertyValue, "xcb_get_property_value");
    bind(library, xcb.getPropertyValueLength, "xcb_get_property_value_length");
    bind(library, xcb.generateId, "xcb_generate_id");
    bind(library, xcb.createWindow, "xcb_create_window");
    bind(library, xcb.sendEventChecked, "xcb_send_event_checked");
    bind(library, xcb.requestCheck, "xcb_request_check");
    bind(library, xcb.pollForEvent, "xcb_poll_for_event");
    bind(library, xcb.getFileDescriptor, "xcb_get_file_descriptor");
    return xcb;
}

} // namespace

const XcbLibrary& XcbLibrary::get()
{
    // A failed load throws out of the initializer, so the next call tries again.
    static const XcbLibrary library = load();
    return library;
}

} // namespace tern::platform::x11
