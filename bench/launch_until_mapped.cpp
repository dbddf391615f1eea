// Starts a program and reports how long it took, from the exec to the MapNotify of its
// first top-level window on the X server, without polling: the tool listens for the
// server's structure events on the root window. Optionally it then waits and reports the
// program's memory from /proc/PID/smaps_rollup.
//
//   bench_launch [--hold SECONDS] [--keep] PROGRAM [ARGUMENT...]
//
// Prints "mapped_ms=…", then "rss_kb=… pss_kb=… uss_kb=…" with --hold. The program is
// ended afterwards, unless --keep is given: then "pid=… window=0x…" is printed and the
// program keeps running.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

double nowMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

[[noreturn]] void die(const std::string &message)
{
    std::fprintf(stderr, "bench_launch: %s\n", message.c_str());
    std::exit(1);
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    if (!reply)
        die(std::string("cannot intern ") + name);
    return reply->atom;
}

// The process id a window declares in _NET_WM_PID, 0 if none.
pid_t windowPid(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t netWmPid)
{
    const xcb_get_property_cookie_t cookie =
        xcb_get_property(connection, 0, window, netWmPid, XCB_ATOM_CARDINAL, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) != 4)
        return 0;
    return static_cast<pid_t>(*static_cast<std::uint32_t *>(xcb_get_property_value(reply.get())));
}

// Kilobyte fields of /proc/PID/smaps_rollup.
std::map<std::string, long> smapsRollup(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::map<std::string, long> fields;
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string name;
        long kilobytes = 0;
        if (words >> name >> kilobytes && name.back() == ':')
            fields[name.substr(0, name.size() - 1)] = kilobytes;
    }
    return fields;
}

} // namespace

int main(int argc, char *argv[])
{
    int holdSeconds = -1;
    bool keep = false;
    int first = 1;
    for (; first < argc && argv[first][0] == '-'; ++first) {
        if (std::strcmp(argv[first], "--hold") == 0 && first + 1 < argc)
            holdSeconds = std::atoi(argv[++first]);
        else if (std::strcmp(argv[first], "--keep") == 0)
            keep = true;
        else
            die(std::string("unknown option ") + argv[first]);
    }
    if (first >= argc)
        die("usage: bench_launch [--hold SECONDS] [--keep] PROGRAM [ARGUMENT...]");

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        die("cannot connect to the X server");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t netWmPid = atom(connection, "_NET_WM_PID");
    // A round trip: the server listens for us before the program starts.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const double started = nowMilliseconds();
    const pid_t child = fork();
    if (child < 0)
        die("fork failed");
    if (child == 0) {
        close(xcb_get_file_descriptor(connection));
        // The program's own output goes to stderr: stdout carries only the figures, and a
        // kept program must not hold it open for whoever reads them.
        dup2(STDERR_FILENO, STDOUT_FILENO);
        execvp(argv[first], argv + first);
        std::perror(argv[first]);
        _exit(127);
    }

    const double deadline = started + 20'000;
    xcb_window_t mapped = 0;
    double mappedAt = 0;
    while (!mapped) {
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection))
                die("lost the X server");
            pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
            const int waitMilliseconds = static_cast<int>(deadline - nowMilliseconds());
            if (waitMilliseconds <= 0 || waitpid(child, nullptr, WNOHANG) == child)
                die("the program mapped no window");
            poll(&descriptor, 1, std::min(waitMilliseconds, 250));
            continue;
        }
        const double at = nowMilliseconds();
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect && windowPid(connection, map->window, netWmPid) == child) {
                mapped = map->window;
                mappedAt = at;
            }
        }
        std::free(event);
    }
    std::printf("mapped_ms=%.3f\n", mappedAt - started);
    std::fflush(stdout);

    if (holdSeconds >= 0) {
        sleep(static_cast<unsigned>(holdSeconds));
        std::map<std::string, long> memory = smapsRollup(child);
        std::printf("rss_kb=%ld pss_kb=%ld uss_kb=%ld\n", memory["Rss"], memory["Pss"],
                    memory["Private_Clean"] + memory["Private_Dirty"]);
    }
    if (keep) {
        std::printf("pid=%d window=0x%x\n", child, mapped);
        return 0;
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    xcb_disconnect(connection);
    return 0;
}
