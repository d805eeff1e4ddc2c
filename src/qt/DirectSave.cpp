#include "qt/DirectSave.h"

#include <QGuiApplication>
#include <QWidget>

#if defined(TARNWICK_HAS_XCB)
#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#endif

namespace tarnwick {

#if defined(TARNWICK_HAS_XCB)

namespace {

struct X11Window {
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
};

// The window's X11 side; none when the program does not run on X11.
X11Window X11Of(QWidget* window)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !window || !x11->connection())
        return {};
    return {x11->connection(), static_cast<xcb_window_t>(window->window()->winId())};
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

void OfferDirectSave(QWidget* window, const std::string& fileName)
{
    const X11Window w = X11Of(window);
    if (!w.connection)
        return;
    xcb_change_property(w.connection, XCB_PROP_MODE_REPLACE, w.window, Atom(w.connection, "XdndDirectSave0"),
                        Atom(w.connection, "text/plain"), 8, static_cast<std::uint32_t>(fileName.size()),
                        fileName.data());
    xcb_flush(w.connection);
}

void WithdrawDirectSave(QWidget* window)
{
    const X11Window w = X11Of(window);
    if (!w.connection)
        return;
    xcb_delete_property(w.connection, w.window, Atom(w.connection, "XdndDirectSave0"));
    xcb_flush(w.connection);
}

QByteArray ReadDirectSave(QWidget* window)
{
    const X11Window w = X11Of(window);
    if (!w.connection)
        return {};
    // A URI is short; a target that wrote more than this wrote no URI.
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        w.connection,
        xcb_get_property(w.connection, 0, w.window, Atom(w.connection, "XdndDirectSave0"), XCB_GET_PROPERTY_TYPE_ANY,
                         0, 16384),
        nullptr);
    QByteArray value;
    if (reply && reply->format == 8)
        value = QByteArray(static_cast<const char*>(xcb_get_property_value(reply)), xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

#else

void OfferDirectSave(QWidget*, const std::string&) {}
void WithdrawDirectSave(QWidget*) {}
QByteArray ReadDirectSave(QWidget*) { return {}; }

#endif

} // namespace tarnwick
