// The frame an X11 window manager will put around a window, asked for before the window is
// mapped (_NET_REQUEST_FRAME_EXTENTS), so that the framed window can open centred instead
// of being moved once its frame is known.

#include "frame_extents.h"

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <xcb/xcb.h>

namespace ampero::qt {

namespace {

template <class Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const ReplyPointer<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

ReplyPointer<xcb_get_property_reply_t> cardinals(xcb_connection_t *connection, xcb_window_t window,
                                                 xcb_atom_t property, std::uint32_t count,
                                                 xcb_atom_t type = XCB_ATOM_CARDINAL)
{
    return {
        xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, property, type, 0, count), nullptr),
        &std::free};
}

bool windowManagerAnswersRequests(xcb_connection_t *connection, xcb_window_t root,
                                  xcb_atom_t request)
{
    const auto supported =
        cardinals(connection, root, atom(connection, "_NET_SUPPORTED"), 1024, XCB_ATOM_ATOM);
    if (!supported || supported->format != 32)
        return false;
    const auto *atoms = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / 4;
    return std::find(atoms, atoms + count, request) != atoms + count;
}

} // namespace

std::optional<QMargins> frameExtentsBeforeMapping(QWindow &window)
{
    // Other platforms (offscreen among them) may answer for X11 without a connection.
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != u"xcb" || !connection)
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (request == XCB_ATOM_NONE || !windowManagerAnswersRequests(connection, root, request))
        return std::nullopt;

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    // The window manager answers by setting the property; each look is a round trip that
    // gives it the time to. A manager that never answers costs a tenth of a second.
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    for (int look = 0; look < 100; ++look) {
        const auto reply = cardinals(connection, id, extents, 4);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 16) {
            const auto *value =
                static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
            return QMargins(static_cast<int>(value[0]), static_cast<int>(value[2]),
                            static_cast<int>(value[1]), static_cast<int>(value[3]));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::nullopt;
}

} // namespace ampero::qt
