// The time from starting a program to its first window mapped, and to the
// first paint that shows the window whole, on an Xvfb display of the bench's
// own without a window manager: Huespin on a first start (no settings, no
// readme.txt) and on a later one, against a bare Qt window of the same size
// built alike, and that window with one line of text (the fonts loaded).
// Medians of several runs, side by side.
#include "spawn.h"

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Runs = 15;
// How long a window's pixels are watched after its map; it has settled by then.
constexpr auto SettleTime = std::chrono::milliseconds(400);

pid_t Spawn(const std::vector<std::string> &command, const std::vector<std::string> &environment)
{
    return SpawnQuietly(command, environment);
}

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Waits for a top-level window to be mapped; returns it, or XCB_NONE.
xcb_window_t WaitForMap(xcb_connection_t *connection)
{
    pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            xcb_window_t mapped = XCB_NONE;
            if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY)
                mapped = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
            std::free(event);
            if (mapped != XCB_NONE)
                return mapped;
        }
        if (poll(&watched, 1, 20000) <= 0)
            return XCB_NONE;
    }
}

// The window's pixels are read every two milliseconds until it has settled;
// the first reading that equals the last is its first whole paint. Returns
// milliseconds since start, or -1.
double WaitForWholePaint(xcb_connection_t *connection, xcb_window_t window, Clock::time_point start)
{
    const Clock::time_point mapped = Clock::now();
    std::vector<std::pair<double, std::size_t>> readings;
    while (Clock::now() - mapped < SettleTime) {
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
        if (!geometry)
            return -1;
        xcb_get_image_reply_t *image = xcb_get_image_reply(
            connection,
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, geometry->width, geometry->height, ~0u),
            nullptr);
        std::free(geometry);
        if (!image)
            return -1;
        const std::string_view pixels(reinterpret_cast<const char *>(xcb_get_image_data(image)),
                                      std::size_t(xcb_get_image_data_length(image)));
        readings.emplace_back(MsSince(start), std::hash<std::string_view>{}(pixels));
        std::free(image);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    for (const auto &[ms, pixels] : readings)
        if (pixels == readings.back().second)
            return ms;
    return -1;
}

struct Times {
    double map, paint;
};

double Median(const std::vector<Times> &runs, double Times::*field)
{
    std::vector<double> values;
    for (const Times &times : runs)
        values.push_back(times.*field);
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    // Other builds of Huespin may be given, to compare with this one.
    std::vector<std::string> huespins{HUESPIN_BINARY};
    huespins.insert(huespins.end(), argv + 1, argv + argc);
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return 1;
    const pid_t xvfb = Spawn(
        {"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1280x800x24", "-nolisten", "tcp"},
        {});
    close(pipeFds[1]);
    char number[16] = {};
    if (read(pipeFds[0], number, sizeof number - 1) <= 0) {
        std::fprintf(stderr, "startup_bench: Xvfb did not start\n");
        return 1;
    }
    const std::string display = ":" + std::to_string(std::atoi(number));
    xcb_connection_t *connection = xcb_connect(display.c_str(), nullptr);
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const fs::path sandbox = fs::temp_directory_path() / ("huespin-startup-" + std::to_string(getpid()));
    const auto timeOnce = [&](const std::vector<std::string> &command, bool fresh) {
        if (fresh)
            fs::remove_all(sandbox);
        fs::create_directories(sandbox);
        const std::vector<std::string> environment{"DISPLAY=" + display,
                                                   "HOME=" + sandbox.string(),
                                                   "XDG_CONFIG_HOME=" + (sandbox / "config").string(),
                                                   "XDG_RUNTIME_DIR=" + sandbox.string(),
                                                   "PATH=/usr/bin:/bin",
                                                   "QT_QPA_PLATFORM=xcb"};
        std::error_code ignored;
        fs::current_path(sandbox, ignored);
        const Clock::time_point start = Clock::now();
        const pid_t child = Spawn(command, environment);
        const xcb_window_t window = WaitForMap(connection);
        Times times{window != XCB_NONE ? MsSince(start) : -1, -1};
        if (window != XCB_NONE)
            times.paint = WaitForWholePaint(connection, window, start);
        // The settings are already stored at the load; a kill loses nothing
        // that a later start needs.
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return times;
    };

    std::vector<Times> bare, text;
    std::vector<std::vector<Times>> first(huespins.size()), later(huespins.size());
    for (const std::string &huespin : huespins)
        timeOnce({huespin}, true); // warm the caches
    for (int run = 0; run < Runs; ++run) {
        bare.push_back(timeOnce({BARE_BINARY}, true));
        text.push_back(timeOnce({BARE_BINARY, "--text"}, true));
        for (std::size_t i = 0; i < huespins.size(); ++i) {
            first[i].push_back(timeOnce({huespins[i]}, true));
            later[i].push_back(timeOnce({huespins[i]}, false));
        }
    }
    fs::remove_all(sandbox);
    xcb_disconnect(connection);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);

    std::printf("start-up to the first mapped window and to its first whole paint, median of %d (ms), and\n"
                "ratios to the bare window and to the window with text:\n",
                Runs);
    std::printf("                           %-27s %s\n", "mapped", "painted whole");
    const auto row = [&](const char *name, const std::vector<Times> &times) {
        std::printf("  %-24s", name);
        for (double Times::*field : {&Times::map, &Times::paint}) {
            const double ms = Median(times, field), b = Median(bare, field), t = Median(text, field);
            std::printf(" %7.1f  (%.2fx, %.2fx)    ", ms, ms / b, ms / t);
        }
        std::printf("\n");
    };
    row("bare Qt window", bare);
    row("bare window with text", text);
    for (std::size_t i = 0; i < huespins.size(); ++i) {
        if (huespins.size() > 1)
            std::printf("  %s\n", huespins[i].c_str());
        row("Huespin, first start", first[i]);
        row("Huespin, later start", later[i]);
    }
    return 0;
}
