// Asks a program's window to close as a window manager's close button does,
// by the WM_DELETE_WINDOW message, so that the program runs its own closing
// (and saves what it saves then). No window manager is needed.
//   close_window TITLE [SECONDS]
// Waits up to SECONDS (default 30) for a top-level window titled TITLE; exits
// 0 once the message is sent, 1 when no such window showed up.
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* r =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = r ? r->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(r);
    return atom;
}

std::string Title(xcb_connection_t* c, xcb_window_t w)
{
    xcb_get_property_reply_t* r = xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    std::string title;
    if (r) {
        title.assign(static_cast<const char*>(xcb_get_property_value(r)),
                     static_cast<std::size_t>(xcb_get_property_value_length(r)));
        std::free(r);
    }
    return title;
}

bool Viewable(xcb_connection_t* c, xcb_window_t w)
{
    xcb_get_window_attributes_reply_t* r = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr);
    const bool viewable = r && r->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(r);
    return viewable;
}

xcb_window_t Find(xcb_connection_t* c, xcb_window_t root, const std::string& title)
{
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    xcb_window_t found = XCB_WINDOW_NONE;
    if (tree) {
        const xcb_window_t* children = xcb_query_tree_children(tree);
        // Only a window on the screen: toolkits keep unmapped helper
        // windows (a client leader) that may bear the program's title.
        for (int i = 0; i < xcb_query_tree_children_length(tree) && found == XCB_WINDOW_NONE; ++i)
            if (Viewable(c, children[i]) && Title(c, children[i]) == title)
                found = children[i];
        std::free(tree);
    }
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: close_window TITLE [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 30;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "close_window: no display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    xcb_window_t w = XCB_WINDOW_NONE;
    while ((w = Find(c, root, argv[1])) == XCB_WINDOW_NONE && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (w == XCB_WINDOW_NONE) {
        std::fprintf(stderr, "close_window: no window titled \"%s\"\n", argv[1]);
        return 1;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = w;
    message.type = Atom(c, "WM_PROTOCOLS");
    message.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, w, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
    xcb_flush(c);
    xcb_disconnect(c);
    return 0;
}
