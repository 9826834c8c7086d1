// Starts a program on the X server of $DISPLAY and measures, from the outside, the time from
// its start to the mapping of its first top-level window, and its memory at that moment and a
// little later, once it has settled.
//
//   plumetto_startup [--settle MS] PROGRAM [ARGUMENTS...]
//
// Prints one line: map_ms rss_kib private_dirty_kib settled_rss_kib settled_private_dirty_kib.
// The program is ended once measured. The watch rests on the server's own MapNotify events
// (a window of the started process, told by _NET_WM_PID), so nothing polls while it starts.

#include <xcb/xcb.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Memory
{
    long rssKiB = -1;
    long privateDirtyKiB = -1;
};

// The first number after `key` in a /proc file, in KiB.
long fieldOf(const std::string &file, const std::string &key)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + key.size(), nullptr, 10);
    }
    return -1;
}

Memory memoryOf(pid_t pid)
{
    const std::string proc = "/proc/" + std::to_string(pid);
    return {fieldOf(proc + "/status", "VmRSS:"), fieldOf(proc + "/smaps_rollup", "Private_Dirty:")};
}

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    const auto cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

long windowPid(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t pidAtom)
{
    const auto cookie = xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) < 4)
        return -1;
    return *static_cast<const std::uint32_t *>(xcb_get_property_value(reply.get()));
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

int main(int argc, char *argv[])
{
    int first = 1;
    int settleMs = 500;
    if (argc > 2 && std::strcmp(argv[1], "--settle") == 0) {
        settleMs = std::atoi(argv[2]);
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: plumetto_startup [--settle MS] PROGRAM [ARGUMENTS...]\n");
        return 2;
    }

    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (const int error = xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "plumetto_startup: no X server on $DISPLAY (xcb error %d)\n", error);
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_atom_t pidAtom = atom(connection, "_NET_WM_PID");
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_request_check(connection, xcb_change_window_attributes_checked(connection, root,
                                                                       XCB_CW_EVENT_MASK, &mask));

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return 1;
    if (pid == 0) {
        execv(argv[first], argv + first);
        std::perror("plumetto_startup: exec");
        _exit(127);
    }

    const auto deadline = start + std::chrono::seconds(30);
    pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
    double mapMs = -1;
    Memory atMap;
    bool exited = false;
    while (mapMs < 0 && Clock::now() < deadline) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
                continue;
            const auto mapped = Clock::now();
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (map->override_redirect || windowPid(connection, map->window, pidAtom) != pid)
                continue;
            atMap = memoryOf(pid);
            mapMs = std::chrono::duration<double, std::milli>(mapped - start).count();
            break;
        }
        if (mapMs >= 0)
            break;
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            exited = true;
            break;
        }
        if (xcb_connection_has_error(connection))
            break;
        poll(&watch, 1, 100);
    }
    if (mapMs < 0) {
        std::fprintf(stderr, "plumetto_startup: no window was mapped\n");
        if (!exited)
            stop(pid);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    const Memory settled = memoryOf(pid);
    stop(pid);
    xcb_disconnect(connection);
    std::printf("%.2f %ld %ld %ld %ld\n", mapMs, atMap.rssKiB, atMap.privateDirtyKiB,
                settled.rssKiB, settled.privateDirtyKiB);
    return 0;
}
