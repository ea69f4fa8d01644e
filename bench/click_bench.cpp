// The Clipboard click: a real click on Huespin's output button, in Clipboard
// mode with a text of 32,767 characters, against a bare Qt button that puts
// the same bytes on the clipboard (barebutton, in a window of the same size
// that holds the same text in a text box), on an Xvfb display of the bench's
// own under openbox. For each click: the time from the click to the X
// clipboard's new owner, seen through XFixes; and, once the click has
// settled, the whole fetch by a paster (this program, as any other): the
// targets, the text and the HTML. ASCII and mixed scripts (make_text.py);
// medians of repeated clicks, in blocks that take turns, and their ratios;
// and each program's first click, which takes the focus from the text box.
#include "regeditor.h"
#include "spawn.h"
#include "textcharacters.h"

#include <QString>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>
#include <xcb/xfixes.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char **environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Characters = 32767;
constexpr int Blocks = 5;
constexpr int ClicksPerBlock = 6;
// How long a program is left alone before it is clicked or its clipboard
// fetched, so that each starts idle.
constexpr auto Settle = std::chrono::milliseconds(150);
constexpr int WaitLimitMs = 20000;

// What the bench started and has not ended yet, first started first, and
// its folder: a failure ends and removes them too.
std::vector<pid_t> Children;
fs::path Sandbox;

void Stop(pid_t child);

[[noreturn]] void Fail(const std::string &what)
{
    std::fprintf(stderr, "click_bench: %s\n", what.c_str());
    while (!Children.empty())
        Stop(Children.back());
    if (!Sandbox.empty())
        fs::remove_all(Sandbox);
    std::exit(1);
}

double MsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

pid_t Spawn(const std::vector<std::string> &command, const std::vector<std::string> &environment,
            const fs::path &folder = {})
{
    const pid_t child = SpawnQuietly(command, environment, folder);
    if (child < 0)
        Fail("cannot start " + command[0]);
    Children.push_back(child);
    return child;
}

void Stop(pid_t child)
{
    std::erase(Children, child);
    kill(child, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (waitpid(child, nullptr, WNOHANG) == child)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

std::string ReadCommand(const std::string &command)
{
    std::string output;
    if (FILE *pipe = popen(command.c_str(), "r")) {
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
            output.append(buffer, n);
        pclose(pipe);
    }
    return output;
}

void WriteFile(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// One line of exactly Characters characters of make_text.py's text.
std::string MakeLine(bool ascii)
{
    QString text = QString::fromUtf8(
        ReadCommand(std::string("/usr/bin/python3 " MAKE_TEXT_SCRIPT " 600000") + (ascii ? " --ascii" : "")));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const TextCharacters characters(text);
    if (characters.Count() < Characters)
        Fail("make_text.py gave too little text");
    const QStringView last = characters[Characters - 1];
    text.truncate(last.data() + last.size() - text.constData());
    // All of it fits in the text box.
    if (text.size() > 65535)
        Fail("the line is longer than the text box takes");
    return text.toStdString();
}

template <typename Reply>
using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template <typename Reply>
ReplyPointer<Reply> Own(Reply *reply)
{
    return ReplyPointer<Reply>(reply, &std::free);
}

// XTest's FakeInput, which the X server takes as the user's own input.
xcb_extension_t XTestExtension = {"XTEST", 0};

struct FakeInputRequest {
    std::uint8_t majorOpcode, minorOpcode;
    std::uint16_t length;
    std::uint8_t type, detail;
    std::uint8_t pad0[2];
    std::uint32_t time;
    xcb_window_t root;
    std::uint8_t pad1[8];
    std::int16_t rootX, rootY;
    std::uint8_t pad2[7];
    std::uint8_t deviceId;
};
static_assert(sizeof(FakeInputRequest) == 36);

// The bench's side of the display: it clicks, watches the clipboard's owner
// and the windows mapped, takes the clipboard back between clicks and pastes.
class Display {
public:
    explicit Display(const std::string &name);
    ~Display() { xcb_disconnect(connection_); }

    // The top-level window of the process, once it is on the screen.
    xcb_window_t WaitForClient(pid_t pid);
    // Where a point of the window is on the screen.
    std::pair<int, int> ToRoot(xcb_window_t window, int x, int y);
    void Click(int x, int y);
    void PressKey(std::uint32_t keysym);
    void MovePointer(int x, int y);
    // Takes the clipboard, so that the next click changes its owner.
    void TakeClipboard();
    // Waits for an owner of the clipboard other than the bench and none;
    // when it came, or nothing.
    std::optional<Clock::time_point> WaitForNewOwner(int timeoutMs);
    // Waits for a frame mapped by the window manager (a dialog); 0 if none came.
    xcb_window_t WaitForMappedFrame(int timeoutMs);
    bool WaitForUnmap(xcb_window_t frame, int timeoutMs);
    // Pastes: the targets, then each of the flavours; their bytes, or
    // nothing when the owner refused one.
    std::optional<std::vector<std::string>> Fetch(const std::vector<std::string> &targets);
    // Handles what came in, for a while.
    void Pump(std::chrono::milliseconds time);

private:
    xcb_atom_t Atom(const char *name);
    void Fake(std::uint8_t type, std::uint8_t detail, int x, int y);
    // Reads events until done() or the time runs out; false when it ran out.
    bool Await(const std::function<bool()> &done, int timeoutMs);
    void Observe(xcb_generic_event_t *event);
    std::optional<std::string> FetchOne(xcb_atom_t target);

    xcb_connection_t *connection_;
    xcb_screen_t *screen_;
    xcb_window_t window_;
    std::uint8_t fixesEvent_;
    xcb_atom_t clipboard_, targets_, property_, incr_, clientList_, wmPid_;

    std::vector<std::pair<xcb_window_t, Clock::time_point>> owners_;
    std::vector<xcb_window_t> mapped_, unmapped_;
    std::optional<xcb_atom_t> notified_;
    bool newValue_ = false;
};

Display::Display(const std::string &name)
{
    connection_ = xcb_connect(name.c_str(), nullptr);
    if (xcb_connection_has_error(connection_))
        Fail("cannot connect to " + name);
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const xcb_query_extension_reply_t *fixes = xcb_get_extension_data(connection_, &xcb_xfixes_id);
    const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(connection_, &XTestExtension);
    if (!fixes || !fixes->present || !xtest || !xtest->present)
        Fail("the X server lacks XFixes or XTest");
    fixesEvent_ = fixes->first_event;
    std::free(xcb_xfixes_query_version_reply(connection_, xcb_xfixes_query_version(connection_, 5, 0), nullptr));
    clipboard_ = Atom("CLIPBOARD");
    targets_ = Atom("TARGETS");
    property_ = Atom("CLICK_BENCH_PASTE");
    incr_ = Atom("INCR");
    clientList_ = Atom("_NET_CLIENT_LIST");
    wmPid_ = Atom("_NET_WM_PID");

    window_ = xcb_generate_id(connection_);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen_->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, XCB_CW_EVENT_MASK, &mask);
    const std::uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection_, screen_->root, XCB_CW_EVENT_MASK, &rootMask);
    xcb_xfixes_select_selection_input(connection_, window_, clipboard_,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER);
    xcb_flush(connection_);
}

xcb_atom_t Display::Atom(const char *name)
{
    const auto reply =
        Own(xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr));
    if (!reply)
        Fail(std::string("no atom ") + name);
    return reply->atom;
}

void Display::Observe(xcb_generic_event_t *event)
{
    const std::uint8_t type = event->response_type & 0x7F;
    if (type == fixesEvent_ + XCB_XFIXES_SELECTION_NOTIFY) {
        const auto *notice = reinterpret_cast<xcb_xfixes_selection_notify_event_t *>(event);
        owners_.emplace_back(notice->owner, Clock::now());
    } else if (type == XCB_MAP_NOTIFY) {
        const auto *notice = reinterpret_cast<xcb_map_notify_event_t *>(event);
        if (!notice->override_redirect)
            mapped_.push_back(notice->window);
    } else if (type == XCB_UNMAP_NOTIFY) {
        unmapped_.push_back(reinterpret_cast<xcb_unmap_notify_event_t *>(event)->window);
    } else if (type == XCB_DESTROY_NOTIFY) {
        unmapped_.push_back(reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window);
    } else if (type == XCB_SELECTION_NOTIFY) {
        notified_ = reinterpret_cast<xcb_selection_notify_event_t *>(event)->property;
    } else if (type == XCB_PROPERTY_NOTIFY) {
        const auto *notice = reinterpret_cast<xcb_property_notify_event_t *>(event);
        if (notice->window == window_ && notice->atom == property_ && notice->state == XCB_PROPERTY_NEW_VALUE)
            newValue_ = true;
    } else if (type == XCB_SELECTION_REQUEST) {
        // The bench holds the clipboard only to hand it on: it serves nothing.
        const auto *request = reinterpret_cast<xcb_selection_request_event_t *>(event);
        xcb_selection_notify_event_t refusal{};
        refusal.response_type = XCB_SELECTION_NOTIFY;
        refusal.time = request->time;
        refusal.requestor = request->requestor;
        refusal.selection = request->selection;
        refusal.target = request->target;
        refusal.property = XCB_NONE;
        xcb_send_event(connection_, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&refusal));
        xcb_flush(connection_);
    }
}

bool Display::Await(const std::function<bool()> &done, int timeoutMs)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd watched{xcb_get_file_descriptor(connection_), POLLIN, 0};
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection_)) {
            Observe(event);
            std::free(event);
        }
        if (xcb_connection_has_error(connection_))
            Fail("the X server went away");
        if (done())
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        poll(&watched, 1, int(std::min<long long>(left, 50)));
    }
}

void Display::Pump(std::chrono::milliseconds time)
{
    Await([] { return false; }, int(time.count()));
}

xcb_window_t Display::WaitForClient(pid_t pid)
{
    xcb_window_t found = XCB_NONE;
    const auto look = [&] {
        const auto list = Own(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 0, screen_->root, clientList_, XCB_ATOM_WINDOW, 0, 1024),
            nullptr));
        if (!list)
            return false;
        const auto *windows = static_cast<const xcb_window_t *>(xcb_get_property_value(list.get()));
        for (int i = 0; i < xcb_get_property_value_length(list.get()) / 4; ++i) {
            const auto owner = Own(xcb_get_property_reply(
                connection_, xcb_get_property(connection_, 0, windows[i], wmPid_, XCB_ATOM_CARDINAL, 0, 1), nullptr));
            if (owner && xcb_get_property_value_length(owner.get()) == 4
                && *static_cast<const std::uint32_t *>(xcb_get_property_value(owner.get())) == std::uint32_t(pid))
                found = windows[i];
        }
        return found != XCB_NONE;
    };
    if (!Await(look, WaitLimitMs))
        Fail("no window came");
    return found;
}

std::pair<int, int> Display::ToRoot(xcb_window_t window, int x, int y)
{
    const auto reply = Own(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window, screen_->root, std::int16_t(x), std::int16_t(y)),
        nullptr));
    if (!reply)
        Fail("the window went away");
    return {reply->dst_x, reply->dst_y};
}

void Display::Fake(std::uint8_t type, std::uint8_t detail, int x, int y)
{
    FakeInputRequest request{};
    request.type = type;
    request.detail = detail;
    request.root = screen_->root;
    request.rootX = std::int16_t(x);
    request.rootY = std::int16_t(y);
    iovec parts[4] = {};
    parts[2].iov_base = &request;
    parts[2].iov_len = sizeof request;
    const xcb_protocol_request_t protocol{1, &XTestExtension, 2, 1};
    xcb_send_request(connection_, 0, parts + 2, &protocol);
}

void Display::MovePointer(int x, int y)
{
    Fake(XCB_MOTION_NOTIFY, 0, x, y);
    xcb_flush(connection_);
}

void Display::Click(int x, int y)
{
    Fake(XCB_MOTION_NOTIFY, 0, x, y);
    Fake(XCB_BUTTON_PRESS, 1, x, y);
    Fake(XCB_BUTTON_RELEASE, 1, x, y);
    xcb_flush(connection_);
}

void Display::PressKey(std::uint32_t keysym)
{
    const xcb_setup_t *setup = xcb_get_setup(connection_);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const auto map = Own(xcb_get_keyboard_mapping_reply(
        connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, std::uint8_t(count)), nullptr));
    if (!map)
        Fail("no keyboard map");
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int i = 0; i < count * map->keysyms_per_keycode; ++i)
        if (keysyms[i] == keysym) {
            const auto keycode = std::uint8_t(setup->min_keycode + i / map->keysyms_per_keycode);
            Fake(XCB_KEY_PRESS, keycode, 0, 0);
            Fake(XCB_KEY_RELEASE, keycode, 0, 0);
            xcb_flush(connection_);
            return;
        }
    Fail("no key for a keysym");
}

void Display::TakeClipboard()
{
    xcb_set_selection_owner(connection_, window_, clipboard_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    if (!Await([this] { return !owners_.empty() && owners_.back().first == window_; }, WaitLimitMs))
        Fail("the bench could not take the clipboard");
}

std::optional<Clock::time_point> Display::WaitForNewOwner(int timeoutMs)
{
    owners_.clear();
    std::optional<Clock::time_point> when;
    Await(
        [&] {
            for (const auto &[owner, time] : owners_)
                if (owner != XCB_NONE && owner != window_) {
                    when = time;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return when;
}

xcb_window_t Display::WaitForMappedFrame(int timeoutMs)
{
    mapped_.clear();
    unmapped_.clear();
    Await([this] { return !mapped_.empty(); }, timeoutMs);
    return mapped_.empty() ? XCB_NONE : mapped_.front();
}

bool Display::WaitForUnmap(xcb_window_t frame, int timeoutMs)
{
    return Await([&] { return std::find(unmapped_.begin(), unmapped_.end(), frame) != unmapped_.end(); }, timeoutMs);
}

std::optional<std::string> Display::FetchOne(xcb_atom_t target)
{
    notified_.reset();
    newValue_ = false;
    xcb_delete_property(connection_, window_, property_);
    xcb_convert_selection(connection_, window_, clipboard_, target, property_, XCB_CURRENT_TIME);
    xcb_flush(connection_);
    if (!Await([this] { return notified_.has_value(); }, WaitLimitMs) || *notified_ == XCB_NONE)
        return std::nullopt;
    const auto read = [this] {
        newValue_ = false;
        return Own(xcb_get_property_reply(
            connection_, xcb_get_property(connection_, 1, window_, property_, XCB_GET_PROPERTY_TYPE_ANY, 0, 1u << 28),
            nullptr));
    };
    auto reply = read();
    if (!reply)
        return std::nullopt;
    if (reply->type != incr_)
        return std::string(static_cast<const char *>(xcb_get_property_value(reply.get())),
                           std::size_t(xcb_get_property_value_length(reply.get())));
    // Large content comes in pieces, each taken away to ask for the next.
    std::string bytes;
    for (;;) {
        if (!Await([this] { return newValue_; }, WaitLimitMs))
            return std::nullopt;
        reply = read();
        if (!reply)
            return std::nullopt;
        const int length = xcb_get_property_value_length(reply.get());
        if (length == 0)
            return bytes;
        bytes.append(static_cast<const char *>(xcb_get_property_value(reply.get())), std::size_t(length));
    }
}

std::optional<std::vector<std::string>> Display::Fetch(const std::vector<std::string> &targets)
{
    std::vector<std::string> flavours;
    if (!FetchOne(targets_))
        return std::nullopt;
    for (const std::string &target : targets) {
        auto bytes = FetchOne(Atom(target.c_str()));
        if (!bytes)
            return std::nullopt;
        flavours.push_back(std::move(*bytes));
    }
    return flavours;
}

const std::vector<std::string> Flavours{"UTF8_STRING", "text/html"};

struct Program {
    explicit Program(const char *programName, bool box) : name(programName), showsBox(box) {}
    const char *name;
    pid_t pid = -1;
    xcb_window_t window = XCB_NONE;
    bool showsBox;
    std::vector<double> owner, fetch, box;
    double firstOwner = 0;
};

struct Place {
    int x, y;
};

// Command3's centre on Huespin's window and on the bare button's, in pixels
// at 96 dpi.
constexpr Place ButtonCentre{(5415 + 1110 / 2) / 15, (570 + 360 / 2) / 15};

class Bench {
public:
    Bench(Display &display, std::string huespin, std::vector<std::string> environment, fs::path sandbox)
        : display_(display), huespin_(std::move(huespin)), environment_(std::move(environment)),
          sandbox_(std::move(sandbox))
    {
    }

    // Huespin with the text and two colours stored, and the bare button with
    // the bytes that Huespin's click puts on the clipboard.
    void Run(const char *name, const std::string &line);

private:
    void SeedSettings(const std::string &line);
    // One click and what follows it; false when no owner came.
    bool ClickOnce(Program &program, bool counted);
    std::vector<std::string> FetchContent();

    Display &display_;
    std::string huespin_;
    std::vector<std::string> environment_;
    fs::path sandbox_;
    std::vector<std::string> expected_;
};

void Bench::SeedSettings(const std::string &line)
{
    // A first start stores the defaults; the text and the colours go over them.
    setenv("XDG_CONFIG_HOME", (sandbox_ / "config").c_str(), 1);
    const auto stored = [] {
        RegEditor reg;
        reg.SetHKey(std::int32_t(0x80000002u));
        reg.SubKey("SOFTWARE\\Huespin\\");
        reg.ValName("format");
        return reg.ReadValue().has_value();
    };
    if (!stored()) {
        const pid_t first = Spawn({huespin_}, environment_, sandbox_);
        display_.WaitForClient(first);
        for (int i = 0; i < 1000 && !stored(); ++i)
            display_.Pump(std::chrono::milliseconds(20));
        Stop(first);
    }
    RegEditor reg;
    reg.SetHKey(std::int32_t(0x80000002u));
    reg.SubKey("SOFTWARE\\Huespin\\");
    for (const auto &[value, data] :
         {std::pair<const char *, std::string>{"text", line}, {"c1", "255"}, {"c2", "16744448"}}) {
        reg.ValName(value);
        reg.SetValue(data);
    }
    if (reg.Error())
        Fail("cannot store the settings");
}

std::vector<std::string> Bench::FetchContent()
{
    auto content = display_.Fetch(Flavours);
    if (!content)
        Fail("the clipboard's owner refused a flavour");
    return std::move(*content);
}

bool Bench::ClickOnce(Program &program, bool counted)
{
    display_.TakeClipboard();
    display_.Pump(Settle);
    const auto [x, y] = display_.ToRoot(program.window, ButtonCentre.x, ButtonCentre.y);
    const Clock::time_point click = Clock::now();
    display_.Click(x, y);
    const auto owner = display_.WaitForNewOwner(WaitLimitMs);
    if (!owner)
        return false;
    // The pointer leaves the button, so that no tooltip comes.
    display_.MovePointer(1, 1);
    xcb_window_t box = XCB_NONE;
    if (program.showsBox) {
        box = display_.WaitForMappedFrame(WaitLimitMs);
        if (box == XCB_NONE)
            Fail(std::string(program.name) + " showed no message box");
        if (counted)
            program.box.push_back(MsBetween(click, Clock::now()));
    }
    display_.Pump(Settle);
    const Clock::time_point fetchStart = Clock::now();
    const std::vector<std::string> content = FetchContent();
    const double fetch = MsBetween(fetchStart, Clock::now());
    if (expected_.empty())
        expected_ = content;
    else if (content != expected_)
        Fail(std::string(program.name) + " put other bytes on the clipboard");
    if (program.showsBox) {
        display_.PressKey(0xFF0D); // Return: the box's OK
        if (!display_.WaitForUnmap(box, WaitLimitMs))
            Fail("the message box stayed");
    }
    if (counted) {
        program.owner.push_back(MsBetween(click, *owner));
        program.fetch.push_back(fetch);
    } else if (program.firstOwner == 0) {
        program.firstOwner = MsBetween(click, *owner);
    }
    return true;
}

void Bench::Run(const char *name, const std::string &line)
{
    SeedSettings(line);
    expected_.clear();
    Program huespin("Huespin", true), bare("bare button", false);
    huespin.pid = Spawn({huespin_}, environment_, sandbox_);
    huespin.window = display_.WaitForClient(huespin.pid);
    // The window builds its controls and loads the settings once it shows,
    // and is given time for it: the first click that changes the
    // clipboard's owner is the first click.
    bool clicked = false;
    for (int i = 0; i < 20 && !clicked; ++i) {
        display_.Pump(std::chrono::milliseconds(i == 0 ? 1500 : 250));
        clicked = ClickOnce(huespin, false);
    }
    if (!clicked)
        Fail("Huespin's click put nothing on the clipboard");
    WriteFile(sandbox_ / "markup.bytes", expected_[0]);
    WriteFile(sandbox_ / "html.bytes", expected_[1]);
    WriteFile(sandbox_ / "text.txt", line);
    bare.pid = Spawn({BARE_BUTTON_BINARY, (sandbox_ / "markup.bytes").string(), (sandbox_ / "html.bytes").string(),
                      (sandbox_ / "text.txt").string()},
                     environment_, sandbox_);
    bare.window = display_.WaitForClient(bare.pid);
    display_.Pump(std::chrono::milliseconds(1500));

    // Each block's first click brings its window to the front and is left
    // out, as is every first click of a program.
    for (int block = 0; block < Blocks; ++block)
        for (Program *program : {&bare, &huespin})
            for (int i = 0; i <= ClicksPerBlock; ++i)
                if (!ClickOnce(*program, i > 0))
                    Fail(std::string(program->name) + "'s click put nothing on the clipboard");

    display_.TakeClipboard();
    Stop(bare.pid);
    Stop(huespin.pid);

    const double bareOwner = Median(bare.owner), bareFetch = Median(bare.fetch);
    const auto row = [&](const Program &program) {
        const double owner = Median(program.owner), fetch = Median(program.fetch);
        std::printf("  %-6s %-12s %8.1f  (%4.2fx)  %8.1f  (%4.2fx)  %11.1f", name, program.name, owner,
                    owner / bareOwner, fetch, fetch / bareFetch, program.firstOwner);
        if (program.showsBox)
            std::printf("  %9.1f", Median(program.box));
        std::printf("\n");
    };
    row(bare);
    row(huespin);
    std::printf("  %-6s %lld bytes of text, %lld of HTML, the same from both\n", name,
                static_cast<long long>(expected_[0].size()), static_cast<long long>(expected_[1].size()));
}

pid_t StartServer(std::string &display)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        Fail("no pipe");
    const pid_t xvfb = Spawn({"/usr/bin/Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1280x800x24",
                              "-dpi", "96", "-nolisten", "tcp", "-noreset"},
                             {});
    close(pipeFds[1]);
    char number[16] = {};
    if (read(pipeFds[0], number, sizeof number - 1) <= 0)
        Fail("Xvfb did not start");
    close(pipeFds[0]);
    display = ":" + std::to_string(std::atoi(number));
    return xvfb;
}

} // namespace

// Another build of Huespin may be given, to be measured instead of this one.
int main(int argc, char *argv[])
{
    const std::string huespin = argc > 1 ? argv[1] : HUESPIN_BINARY;
    std::string name;
    const pid_t xvfb = StartServer(name);
    const fs::path sandbox = fs::temp_directory_path() / ("huespin-click-" + std::to_string(getpid()));
    Sandbox = sandbox;
    fs::create_directories(sandbox / "runtime");
    fs::create_directories(sandbox / "openbox");
    fs::permissions(sandbox / "runtime", fs::perms::owner_all);
    const pid_t openbox = Spawn({"/usr/bin/openbox", "--sm-disable"},
                                {"DISPLAY=" + name, "HOME=" + (sandbox / "openbox").string(),
                                 "XDG_CONFIG_HOME=" + (sandbox / "openbox").string(), "PATH=/usr/bin:/bin"});
    {
        Display display(name);
        // Programs start once openbox manages the screen, so that their windows are framed.
        for (int i = 0; i < 500
                        && ReadCommand("DISPLAY=" + name + " xprop -root _NET_SUPPORTING_WM_CHECK").find("window id")
                               == std::string::npos;
             ++i)
            display.Pump(std::chrono::milliseconds(20));
        const std::vector<std::string> environment{"DISPLAY=" + name,
                                                   "HOME=" + sandbox.string(),
                                                   "XDG_CONFIG_HOME=" + (sandbox / "config").string(),
                                                   "XDG_RUNTIME_DIR=" + (sandbox / "runtime").string(),
                                                   "PATH=/usr/bin:/bin",
                                                   "QT_QPA_PLATFORM=xcb"};
        Bench bench(display, huespin, environment, sandbox);
        std::printf("the Clipboard click with %d characters: from the click to the clipboard's new owner, and the\n"
                    "whole fetch by a paster (targets, text, HTML) once the click has settled; medians of %d clicks\n"
                    "(ms) and the ratio to the bare button; the first click's owner, and when the box showed:\n",
                    Characters, Blocks * ClicksPerBlock);
        std::printf("  %-6s %-12s %8s  %7s  %8s  %7s  %11s  %9s\n", "text", "program", "owner", "", "fetch", "",
                    "first owner", "box shown");
        std::fflush(stdout);
        bench.Run("ascii", MakeLine(true));
        std::fflush(stdout);
        bench.Run("mixed", MakeLine(false));
    }
    Stop(openbox);
    Stop(xvfb);
    fs::remove_all(sandbox);
    return 0;
}
