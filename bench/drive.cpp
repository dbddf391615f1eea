// Drives and watches a program's windows on the X server for the benchmarks, with
// synthetic input from the XTEST extension. Each command prints the CLOCK_MONOTONIC time
// in milliseconds at which the server had handled it, so that events seen by different
// commands can be compared.
//
//   bench_drive wait-map PID TITLE     waits until a window of PID titled TITLE is mapped;
//                                      prints "window=0x… x=… y=… width=… height=… t=…"
//   bench_drive click WINDOW X Y       clicks the left button at X,Y inside WINDOW
//   bench_drive type TEXT              types TEXT (digits, lower-case letters; \n is Return)
//   bench_drive wait-title WINDOW TITLE  waits until WINDOW is titled TITLE
//   bench_drive close WINDOW           asks WINDOW to close, as a window manager's close
//                                      button does (WM_DELETE_WINDOW)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <time.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

template <class Reply> using Owned = std::unique_ptr<Reply, decltype(&std::free)>;
template <class Reply> Owned<Reply> own(Reply *reply)
{
    return {reply, &std::free};
}

double nowMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

[[noreturn]] void die(const std::string &message)
{
    std::fprintf(stderr, "bench_drive: %s\n", message.c_str());
    std::exit(1);
}

class Display
{
public:
    Display() : connection_(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(connection_))
            die("cannot connect to the X server");
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    ~Display() { xcb_disconnect(connection_); }
    Display(const Display &) = delete;
    Display &operator=(const Display &) = delete;

    xcb_connection_t *connection() const { return connection_; }
    xcb_window_t root() const { return root_; }

    xcb_atom_t atom(const char *name) const
    {
        auto reply = own(xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        if (!reply)
            die(std::string("cannot intern ") + name);
        return reply->atom;
    }

    // A round trip: every request sent before it has been handled by the server.
    void sync() const
    {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    void listen(xcb_window_t window, std::uint32_t mask) const
    {
        xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
        sync();
    }

    std::string property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const
    {
        auto reply = own(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, window, name, type, 0, 1024), nullptr));
        if (!reply || reply->type != type)
            return {};
        return {static_cast<const char *>(xcb_get_property_value(reply.get())),
                static_cast<std::size_t>(xcb_get_property_value_length(reply.get()))};
    }

    std::string title(xcb_window_t window) const
    {
        return property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    }

    std::uint32_t pid(xcb_window_t window) const
    {
        const std::string value = property(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL);
        std::uint32_t pid = 0;
        if (value.size() == sizeof pid)
            std::memcpy(&pid, value.data(), sizeof pid);
        return pid;
    }

    xcb_generic_event_t *waitForEvent() const
    {
        xcb_generic_event_t *event = xcb_wait_for_event(connection_);
        if (!event)
            die("lost the X server");
        return event;
    }

    void fakeInput(std::uint8_t type, std::uint8_t detail, std::int16_t x = 0,
                   std::int16_t y = 0) const
    {
        xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME, root_, x, y, 0);
    }

private:
    xcb_connection_t *connection_;
    xcb_window_t root_;
};

void printTime()
{
    std::printf("t=%.3f\n", nowMilliseconds());
}

bool isMatch(const Display &display, xcb_window_t window, std::uint32_t pid,
             const std::string &title)
{
    auto attributes = own(xcb_get_window_attributes_reply(
        display.connection(), xcb_get_window_attributes(display.connection(), window), nullptr));
    return attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE &&
           display.pid(window) == pid && display.title(window) == title;
}

std::optional<xcb_window_t> mappedWindow(const Display &display, std::uint32_t pid,
                                         const std::string &title)
{
    auto tree = own(xcb_query_tree_reply(
        display.connection(), xcb_query_tree(display.connection(), display.root()), nullptr));
    if (!tree)
        die("cannot list the windows");
    const xcb_window_t *children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i)
        if (isMatch(display, children[i], pid, title))
            return children[i];
    return std::nullopt;
}

int waitMap(const Display &display, std::uint32_t pid, const std::string &title)
{
    display.listen(display.root(), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);
    std::optional<xcb_window_t> window = mappedWindow(display, pid, title);
    while (!window) {
        Owned<xcb_generic_event_t> event = own(display.waitForEvent());
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            continue;
        const xcb_window_t mapped = reinterpret_cast<xcb_map_notify_event_t *>(event.get())->window;
        if (isMatch(display, mapped, pid, title))
            window = mapped;
    }
    const double at = nowMilliseconds();
    xcb_connection_t *connection = display.connection();
    auto origin = own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, *window, display.root(), 0, 0), nullptr));
    auto geometry =
        own(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, *window), nullptr));
    if (!origin || !geometry)
        die("the window went away");
    std::printf("window=0x%x x=%d y=%d width=%d height=%d t=%.3f\n", *window, origin->dst_x,
                origin->dst_y, geometry->width, geometry->height, at);
    return 0;
}

int click(const Display &display, xcb_window_t window, int x, int y)
{
    xcb_connection_t *connection = display.connection();
    auto origin = own(xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, window, display.root(), 0, 0), nullptr));
    if (!origin)
        die("no such window");
    display.fakeInput(XCB_MOTION_NOTIFY, 0, static_cast<std::int16_t>(origin->dst_x + x),
                      static_cast<std::int16_t>(origin->dst_y + y));
    display.sync();
    display.fakeInput(XCB_BUTTON_PRESS, 1);
    display.fakeInput(XCB_BUTTON_RELEASE, 1);
    display.sync();
    printTime();
    return 0;
}

xcb_keycode_t keycodeOf(const Display &display, char character)
{
    constexpr xcb_keysym_t returnKey = 0xff0d;
    const xcb_keysym_t wanted =
        character == '\n' ? returnKey : static_cast<xcb_keysym_t>(character);
    const xcb_setup_t *setup = xcb_get_setup(display.connection());
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto mapping = own(xcb_get_keyboard_mapping_reply(
        display.connection(),
        xcb_get_keyboard_mapping(display.connection(), setup->min_keycode,
                                 static_cast<std::uint8_t>(count)),
        nullptr));
    if (!mapping)
        die("cannot read the keyboard mapping");
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    for (int key = 0; key < count; ++key)
        if (keysyms[key * mapping->keysyms_per_keycode] == wanted)
            return static_cast<xcb_keycode_t>(setup->min_keycode + key);
    die(std::string("no key types ") + character);
}

int type(const Display &display, const std::string &text)
{
    for (char character : text) {
        const xcb_keycode_t key = keycodeOf(display, character);
        display.fakeInput(XCB_KEY_PRESS, key);
        display.fakeInput(XCB_KEY_RELEASE, key);
    }
    display.sync();
    printTime();
    return 0;
}

int waitTitle(const Display &display, xcb_window_t window, const std::string &title)
{
    display.listen(window, XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    while (display.title(window) != title) {
        Owned<xcb_generic_event_t> event = own(display.waitForEvent());
        if ((event->response_type & 0x7f) == XCB_DESTROY_NOTIFY)
            die("the window was closed");
    }
    printTime();
    return 0;
}

int closeWindow(const Display &display, xcb_window_t window)
{
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = display.atom("WM_PROTOCOLS");
    message.data.data32[0] = display.atom("WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(display.connection(), 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char *>(&message));
    display.sync();
    printTime();
    return 0;
}

xcb_window_t windowArgument(const char *text)
{
    return std::strtoul(text, nullptr, 0);
}

} // namespace

int main(int argc, char *argv[])
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const Display display;
    if (arguments.size() == 3 && arguments[0] == "wait-map")
        return waitMap(display, std::strtoul(argv[2], nullptr, 10), arguments[2]);
    if (arguments.size() == 4 && arguments[0] == "click")
        return click(display, windowArgument(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    if (arguments.size() == 2 && arguments[0] == "type")
        return type(display, arguments[1]);
    if (arguments.size() == 3 && arguments[0] == "wait-title")
        return waitTitle(display, windowArgument(argv[2]), arguments[2]);
    if (arguments.size() == 2 && arguments[0] == "close")
        return closeWindow(display, windowArgument(argv[2]));
    die("usage: bench_drive wait-map PID TITLE | click WINDOW X Y | type TEXT | "
        "wait-title WINDOW TITLE | close WINDOW");
}
