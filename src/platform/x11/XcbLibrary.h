#pragma once

#include <xcb/xcb.h>

namespace tern::platform::x11 {

// The libxcb functions that the message sender uses, loaded from libxcb.so.1 at run time rather
// than linked: a program that only sends messages (the command-line tool) then links no X library
// and starts without one.
struct XcbLibrary
{
    decltype(&xcb_connect) connect = nullptr;
    decltype(&xcb_disconnect) disconnect = nullptr;
    decltype(&xcb_connection_has_error) connectionHasError = nullptr;
    decltype(&xcb_get_setup) getSetup = nullptr;
    decltype(&xcb_setup_roots_iterator) setupRootsIterator = nullptr;
    decltype(&xcb_screen_next) screenNext = nullptr;
    decltype(&xcb_intern_atom) internAtom = nullptr;
    decltype(&xcb_intern_atom_reply) internAtomReply = nullptr;
    decltype(&xcb_query_tree) queryTree = nullptr;
    decltype(&xcb_query_tree_reply) queryTreeReply = nullptr;
    decltype(&xcb_query_tree_children) queryTreeChildren = nullptr;
    decltype(&xcb_query_tree_children_length) queryTreeChildrenLength = nullptr;
    decltype(&xcb_get_property) getProperty = nullptr;
    decltype(&xcb_get_property_reply) getPropertyReply = nullptr;
    decltype(&xcb_get_property_value) getPropertyValue = nullptr;
    decltype(&xcb_get_property_value_length) getPropertyValueLength = nullptr;
    decltype(&xcb_generate_id) generateId = nullptr;
    decltype(&xcb_create_window) createWindow = nullptr;
    decltype(&xcb_send_event_checked) sendEventChecked = nullptr;
    decltype(&xcb_request_check) requestCheck = nullptr;
    decltype(&xcb_poll_for_event) pollForEvent = nullptr;
    decltype(&xcb_get_file_descriptor) getFileDescriptor = nullptr;

    // The library, loaded on first use and kept for the life of the process. Throws
    // tern::Error("Cannot load the X11 client library libxcb.so.1: ...") when the library or one of
    // its functions is missing.
    static const XcbLibrary& get();
};

} // namespace tern::platform::x11
