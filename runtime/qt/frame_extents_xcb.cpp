// The frame an X11 window manager will put around a window, asked for before the window is
// mapped (_NET_REQUEST_FRAME_EXTENTS), so that the framed window can open centred instead
// of being moved once its frame is known.

#include "frame_extents.h"

#include <QGuiApplication>
#include <QWindow>
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <poll.h>
#include <xcb/xcb.h>

namespace ampero::qt {

namespace {

template <class Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

struct Atoms
{
    xcb_atom_t supported;
    xcb_atom_t request;
    xcb_atom_t extents;
};

// Interned once, with one round trip for all of them.
const Atoms &atoms(xcb_connection_t *connection)
{
    static const Atoms interned = [connection] {
        const std::array names{"_NET_SUPPORTED", "_NET_REQUEST_FRAME_EXTENTS",
                               "_NET_FRAME_EXTENTS"};
        std::array<xcb_intern_atom_cookie_t, names.size()> cookies{};
        for (std::size_t i = 0; i < names.size(); ++i)
            cookies[i] = xcb_intern_atom(
                connection, 0, static_cast<std::uint16_t>(std::strlen(names[i])), names[i]);
        std::array<xcb_atom_t, names.size()> found{};
        for (std::size_t i = 0; i < names.size(); ++i) {
            const ReplyPointer<xcb_intern_atom_reply_t> reply(
                xcb_intern_atom_reply(connection, cookies[i], nullptr), &std::free);
            found[i] = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
        }
        return Atoms{found[0], found[1], found[2]};
    }();
    return interned;
}

ReplyPointer<xcb_get_property_reply_t> property(xcb_connection_t *connection, xcb_window_t window,
                                                xcb_atom_t name, xcb_atom_t type,
                                                std::uint32_t count)
{
    return {xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, window, name, type, 0, count), nullptr),
            &std::free};
}

bool windowManagerAnswersRequests(xcb_connection_t *connection, xcb_window_t root,
                                  const Atoms &atoms)
{
    if (atoms.request == XCB_ATOM_NONE)
        return false;
    const auto supported = property(connection, root, atoms.supported, XCB_ATOM_ATOM, 1024);
    if (!supported || supported->format != 32)
        return false;
    const auto *listed = static_cast<const xcb_atom_t *>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / 4;
    return std::find(listed, listed + count, atoms.request) != listed + count;
}

struct Disconnect
{
    void operator()(xcb_connection_t *connection) const { xcb_disconnect(connection); }
};

// A connection of the program's own that waits for the window manager's answer: Qt reads
// every event of its connection on a thread of its own. Made at the first window's show
// under a window manager that answers, and kept; null where it can't be made.
xcb_connection_t *answerConnection()
{
    static const std::unique_ptr<xcb_connection_t, Disconnect> connection(
        xcb_connect(nullptr, nullptr));
    return xcb_connection_has_error(connection.get()) ? nullptr : connection.get();
}

// Waits up to the deadline for the window's property to change, as the window manager's
// answer changes it.
bool waitForPropertyChange(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                           std::chrono::steady_clock::time_point deadline)
{
    pollfd readable{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (const ReplyPointer<xcb_generic_event_t> event{xcb_poll_for_event(connection),
                                                             &std::free}) {
            const auto *change = reinterpret_cast<const xcb_property_notify_event_t *>(event.get());
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && change->window == window &&
                change->atom == name)
                return true;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0)
            return false;
    }
}

} // namespace

std::optional<QMargins> frameExtentsBeforeMapping(QWindow &window)
{
    // Other platforms (offscreen among them) may answer for X11 without a connection.
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *qtConnection = x11 ? x11->connection() : nullptr;
    if (QGuiApplication::platformName() != u"xcb" || !qtConnection)
        return std::nullopt;
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(qtConnection)).data->root;
    const Atoms &names = atoms(qtConnection);
    if (!windowManagerAnswersRequests(qtConnection, root, names))
        return std::nullopt;
    xcb_connection_t *connection = answerConnection();
    if (!connection)
        return std::nullopt;

    // A round trip on Qt's connection: the server has made the window before this
    // connection names it.
    std::free(xcb_get_input_focus_reply(qtConnection, xcb_get_input_focus(qtConnection), nullptr));
    const std::uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &propertyChanges);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = id;
    message.type = names.request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
    xcb_flush(connection);

    // A manager that never answers costs a tenth of a second.
    const bool answered =
        waitForPropertyChange(connection, id, names.extents,
                              std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
    const std::uint32_t noEvents = 0;
    xcb_change_window_attributes(connection, id, XCB_CW_EVENT_MASK, &noEvents);
    const auto reply = property(connection, id, names.extents, XCB_ATOM_CARDINAL, 4);
    if (!answered || !reply || reply->format != 32 ||
        xcb_get_property_value_length(reply.get()) != 16)
        return std::nullopt;
    const auto *value = static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
    return QMargins(static_cast<int>(value[0]), static_cast<int>(value[2]),
                    static_cast<int>(value[1]), static_cast<int>(value[3]));
}

} // namespace ampero::qt
