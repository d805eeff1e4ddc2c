#include "qt/DirectSave.h"

#include <QGuiApplication>

#if defined(TARNWICK_HAS_XCB)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace tarnwick {

#if defined(TARNWICK_HAS_XCB)

namespace {

xcb_connection_t* Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

} // namespace

std::uint32_t OfferDirectSave(const std::string& fileName)
{
    xcb_connection_t* c = Connection();
    if (!c)
        return 0;
    // The targets know the drag's source as the owner of XdndSelection.
    xcb_get_selection_owner_reply_t* owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, Atom(c, "XdndSelection")), nullptr);
    const xcb_window_t window = owner ? owner->owner : xcb_window_t(XCB_WINDOW_NONE);
    std::free(owner);
    if (window == XCB_WINDOW_NONE)
        return 0;
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, Atom(c, "XdndDirectSave0"), Atom(c, "text/plain"), 8,
                        static_cast<std::uint32_t>(fileName.size()), fileName.data());
    xcb_flush(c);
    return window;
}

void WithdrawDirectSave(std::uint32_t window)
{
    xcb_connection_t* c = Connection();
    if (!c || window == XCB_WINDOW_NONE)
        return;
    xcb_delete_property(c, window, Atom(c, "XdndDirectSave0"));
    xcb_flush(c);
}

QByteArray ReadDirectSave(std::uint32_t window)
{
    xcb_connection_t* c = Connection();
    if (!c || window == XCB_WINDOW_NONE)
        return {};
    // A URI is short; a target that wrote more than this wrote no URI.
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, Atom(c, "XdndDirectSave0"), XCB_GET_PROPERTY_TYPE_ANY, 0, 16384), nullptr);
    QByteArray value;
    if (reply && reply->format == 8)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

#else

std::uint32_t OfferDirectSave(const std::string&) { return 0; }
void WithdrawDirectSave(std::uint32_t) {}
QByteArray ReadDirectSave(std::uint32_t) { return {}; }

#endif

} // namespace tarnwick
