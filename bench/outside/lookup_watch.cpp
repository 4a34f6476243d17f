// Times the quick look-up from outside the program, as the X server sees it:
// from the moment xdotool is started to type the shortcut until the last
// drawing into the « Recherche rapide » window once it is mapped, the window
// then left alone for kQuiet (the server's own background fill and every
// paint of the program's are over: the rows are on the screen). Escape
// closes it between rounds. Prints the median and the fastest round.
//   lexicarium_lookup_watch ROUNDS
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>
#include <xcb/damage.h>
#include <xcb/xcb.h>

extern char** environ;

namespace {

const std::string kTitle = "Recherche rapide - Lexicarium";
using Clock = std::chrono::steady_clock;
constexpr auto kQuiet = std::chrono::milliseconds(100);

void xdotool(const char* keys) {
    const char* arguments[] = {"xdotool", "key", keys, nullptr};
    pid_t child = 0;
    if (posix_spawnp(&child, "xdotool", nullptr, nullptr, const_cast<char**>(arguments), environ) != 0) {
        std::fprintf(stderr, "lookup watch: xdotool cannot be started\n");
        std::exit(2);
    }
    waitpid(child, nullptr, 0);
}

std::string title(xcb_connection_t* connection, xcb_window_t window) {
    const char name[] = "_NET_WM_NAME";
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    if (!atom) return {};
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, atom->atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr);
    std::free(atom);
    if (!reply) return {};
    std::string text(static_cast<const char*>(xcb_get_property_value(reply)),
                     std::size_t(xcb_get_property_value_length(reply)));
    std::free(reply);
    return text;
}

// Waits for events until `done` says so, or `over` does between events, or
// gives up after ten seconds.
template <typename Done, typename Over>
void waitFor(xcb_connection_t* connection, Done done, Over over) {
    const Clock::time_point limit = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < limit) {
        xcb_generic_event_t* event = xcb_poll_for_event(connection);
        if (!event) {
            if (over()) return;
            if (xcb_connection_has_error(connection)) break;
            struct timespec pause{0, 200000};
            nanosleep(&pause, nullptr);
            continue;
        }
        const bool finished = done(event);
        std::free(event);
        if (finished) return;
    }
    std::fprintf(stderr, "lookup watch: the window did not come\n");
    std::exit(3);
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) return 2;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_query_extension_reply_t* damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present) return 2;
    std::free(xcb_damage_query_version_reply(connection, xcb_damage_query_version(connection, 1, 1), nullptr));
    // Drawing anywhere on the screen, the windows within included, rectangle by rectangle.
    xcb_damage_create(connection, xcb_generate_id(connection), root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(connection);

    std::vector<double> times;
    for (int round = 0; round <= rounds; ++round) {
        const Clock::time_point start = Clock::now();
        xdotool("ctrl+alt+f");
        xcb_window_t shown = XCB_WINDOW_NONE;
        xcb_rectangle_t area{};
        Clock::time_point lastDrawn{};
        waitFor(connection, [&](xcb_generic_event_t* event) {
            const std::uint8_t type = event->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY && shown == XCB_WINDOW_NONE) {
                const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
                if (title(connection, map->window) != kTitle) return false;
                shown = map->window;
                xcb_get_geometry_reply_t* geometry =
                    xcb_get_geometry_reply(connection, xcb_get_geometry(connection, shown), nullptr);
                if (geometry) area = {geometry->x, geometry->y, geometry->width, geometry->height};
                std::free(geometry);
                return false;
            }
            if (shown == XCB_WINDOW_NONE || type != damage->first_event + XCB_DAMAGE_NOTIFY) return false;
            const auto* drawn = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            if (drawn->area.x < area.x + area.width && drawn->area.x + drawn->area.width > area.x &&
                drawn->area.y < area.y + area.height && drawn->area.y + drawn->area.height > area.y) {
                lastDrawn = Clock::now();
            }
            return false;
        }, [&] { return lastDrawn != Clock::time_point{} && Clock::now() - lastDrawn > kQuiet; });
        const double ms = std::chrono::duration<double, std::milli>(lastDrawn - start).count();
        if (round > 0) times.push_back(ms);  // the first builds what every later one reuses
        xdotool("Escape");
        waitFor(connection, [&](xcb_generic_event_t* event) {
            return (event->response_type & 0x7f) == XCB_UNMAP_NOTIFY &&
                   reinterpret_cast<xcb_unmap_notify_event_t*>(event)->window == shown;
        }, [] { return false; });
    }
    std::sort(times.begin(), times.end());
    std::printf("quick look-up, key to painted window: median %.1f ms, min %.1f ms over %d rounds\n",
                times[times.size() / 2], times.front(), rounds);
    xcb_disconnect(connection);
    return 0;
}
