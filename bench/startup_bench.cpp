// The time from starting a program to its first window mapped, on an Xvfb
// display of the bench's own without a window manager: Huespin on a first
// start (no settings, no readme.txt) and on a later one, against a bare Qt
// window of the same size built alike, and that window with one line of text
// (the fonts loaded). Medians of several runs, side by side.
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
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Runs = 15;

pid_t Spawn(const std::vector<std::string> &command, const std::vector<std::string> &environment)
{
    std::vector<char *> argv, envp;
    for (const std::string &word : command)
        argv.push_back(const_cast<char *>(word.c_str()));
    argv.push_back(nullptr);
    for (const std::string &entry : environment)
        envp.push_back(const_cast<char *>(entry.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t child = -1;
    posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// Waits for a top-level window to be mapped; milliseconds, or -1.
double WaitForMap(xcb_connection_t *connection, Clock::time_point start)
{
    pollfd watched{xcb_get_file_descriptor(connection), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        if (poll(&watched, 1, 20000) <= 0)
            return -1;
    }
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    // Another build of Huespin may be given, to compare.
    const std::string huespin = argc > 1 ? argv[1] : HUESPIN_BINARY;
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
        const double ms = WaitForMap(connection, start);
        // The settings are already stored at the load; a kill loses nothing
        // that a later start needs.
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return ms;
    };

    std::vector<double> bare, text, first, later;
    timeOnce({huespin}, true); // warm the caches
    for (int run = 0; run < Runs; ++run) {
        bare.push_back(timeOnce({BARE_BINARY}, true));
        text.push_back(timeOnce({BARE_BINARY, "--text"}, true));
        first.push_back(timeOnce({huespin}, true));
        later.push_back(timeOnce({huespin}, false));
    }
    fs::remove_all(sandbox);
    xcb_disconnect(connection);
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);

    const double b = Median(bare), t = Median(text), f = Median(first), l = Median(later);
    std::printf("start-up to the first mapped window, median of %d (ms), and ratios to the bare window and\n"
                "to the window with text:\n",
                Runs);
    std::printf("  bare Qt window           %7.1f\n", b);
    std::printf("  bare window with text    %7.1f  (%.2fx)\n", t, t / b);
    std::printf("  Huespin, first start     %7.1f  (%.2fx, %.2fx)\n", f, f / b, f / t);
    std::printf("  Huespin, later start     %7.1f  (%.2fx, %.2fx)\n", l, l / b, l / t);
    return 0;
}
