// SPDX-License-Identifier: MIT
#include "startup_completion.h"

#include "startup_message.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#ifdef QZ_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#endif

namespace qz {

#if defined(QZ_HAVE_XCB) && QT_CONFIG(xcb)

namespace {

enum Atom { StartupInfoBegin, StartupInfo, StartupId, Utf8String, AtomCount };

} // namespace

void completeHandedOverStartup(QWidget* window, const QString& startupId) {
    if (startupId.isEmpty()) return;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen) return;

    static const char* const names[AtomCount] = {"_NET_STARTUP_INFO_BEGIN", "_NET_STARTUP_INFO",
                                                 "_NET_STARTUP_ID", "UTF8_STRING"};
    xcb_intern_atom_cookie_t cookies[AtomCount];
    for (int i = 0; i < AtomCount; ++i)
        cookies[i] = xcb_intern_atom(connection, 0, uint16_t(std::strlen(names[i])), names[i]);
    xcb_atom_t atoms[AtomCount] = {};
    for (int i = 0; i < AtomCount; ++i) {
        if (xcb_intern_atom_reply_t* reply =
                xcb_intern_atom_reply(connection, cookies[i], nullptr)) {
            atoms[i] = reply->atom;
            std::free(reply);
        }
    }
    if (!atoms[StartupInfoBegin] || !atoms[StartupInfo]) return;

    // A window manager that sees the ID change on a mapped window activates it with the time of
    // the start, which it would refuse the program's own request for want of a user's click.
    const QByteArray id = startupId.toUtf8();
    if (window && atoms[StartupId] && atoms[Utf8String]) {
        if (const QWindow* handle = window->window()->windowHandle())
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(handle->winId()),
                                atoms[StartupId], atoms[Utf8String], 8, uint32_t(id.size()),
                                id.constData());
    }

    // Sent to the root window, where the desktop listens, as the toolkit sends its own.
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = screen->root;
    bool first = true;
    for (const QByteArray& piece : startupMessagePieces(startupRemoveMessage(startupId))) {
        event.type = first ? atoms[StartupInfoBegin] : atoms[StartupInfo];
        first = false;
        std::memcpy(event.data.data8, piece.constData(), sizeof event.data.data8);
        xcb_send_event(connection, 0, screen->root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(connection);
}

#else

void completeHandedOverStartup(QWidget*, const QString&) {}

#endif

} // namespace qz
