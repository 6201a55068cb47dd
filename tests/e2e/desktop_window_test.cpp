// The real binary on a large virtual desktop: the window's whole-factor
// enlargement and the pointer scaled back into the game's pixels.
#include "e2e/game_process.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

constexpr int kScreenWidth = 2560;
constexpr int kScreenHeight = 1440;

pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// Runs a command to its end; true when it exits with 0.
bool Run(std::vector<std::string> args) {
    pid_t pid = Spawn(std::move(args));
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// An Xvfb server of 2560 x 1440 on a display number of its own choosing.
class LargeDesktop : public e2e::VirtualDisplay {
  public:
    LargeDesktop()
        : VirtualDisplay(std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight) + "x24") {}
    std::string Env() const { return name; }
};

Window FindGameWindow(Display* display, Window parent) {
    char* name = nullptr;
    if (XFetchName(display, parent, &name) != 0 && name != nullptr) {
        bool match = std::string(name) == "Game";
        XFree(name);
        if (match)
            return parent;
    }
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count) != 0) {
        for (unsigned i = 0; i < count && found == 0; ++i)
            found = FindGameWindow(display, children[i]);
        if (children != nullptr)
            XFree(children);
    }
    return found;
}

struct Geometry {
    int x = 0, y = 0, width = 0, height = 0;
};

Geometry GeometryOf(Display* display, Window window) {
    XWindowAttributes a{};
    if (XGetWindowAttributes(display, window, &a) == 0)
        return Geometry{};
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    return Geometry{x, y, a.width, a.height};
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Contains(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// Screenshots from the X server stay beside the test binary for looking at.
std::string ScreenshotPath(const std::string& name) {
    return (fs::path(BACKFIRE_BUILD_DIR) / "tests" / name).string();
}

bool TakeScreenshot(const LargeDesktop& desktop, const std::string& name) {
    std::string path = ScreenshotPath(name);
    fs::remove(path);
    return Run({"/usr/bin/env", "DISPLAY=" + desktop.Env(), "import", "-window", "root", path}) &&
           fs::exists(path);
}

// How many colours the rectangle of the X server's screen shows.
int ColoursIn(const LargeDesktop& desktop, int x, int y, int width, int height, const std::string& name) {
    std::string path = ScreenshotPath(name);
    std::string counted = path + ".colours";
    fs::remove(path);
    fs::remove(counted);
    std::string crop = std::to_string(width) + "x" + std::to_string(height) + "+" + std::to_string(x) + "+" +
                       std::to_string(y);
    if (!Run({"/usr/bin/env", "DISPLAY=" + desktop.Env(), "import", "-window", "root", "-crop", crop, path}) ||
        !Run({"/bin/sh", "-c", "identify -format %k \"$0\" > \"$1\"", path, counted}))
        return 0;
    return std::atoi(ReadFile(counted).c_str());
}

bool Xdotool(const LargeDesktop& desktop, std::vector<std::string> args) {
    args.insert(args.begin(), {"/usr/bin/env", "DISPLAY=" + desktop.Env(), "xdotool"});
    return Run(std::move(args));
}

class DesktopWindow : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists("/usr/bin/Xvfb") || !fs::exists("/usr/bin/xdotool"))
            GTEST_SKIP() << "Xvfb and xdotool are needed";
        desktop = std::make_unique<LargeDesktop>();
        ASSERT_NE(desktop->display, nullptr);
    }
    // Starts the windowed game and waits for its window.
    void Start(std::map<std::string, std::string> env) {
        env["DISPLAY"] = desktop->Env();
        env["SDL_AUDIODRIVER"] = "dummy";
        env["BACKFIRE_INPUT_LOG"] = sandbox.PathOf("input.log");
        game = std::make_unique<e2e::GameProcess>(sandbox, std::vector<std::string>{"-W"}, env);
        Display* d = desktop->display;
        ASSERT_TRUE(e2e::WaitFor(
            [&] {
                window = FindGameWindow(d, DefaultRootWindow(d));
                return window != 0 && GeometryOf(d, window).width > 0;
            },
            30s));
    }
    std::string Log() const { return ReadFile(sandbox.PathOf("input.log")); }
    bool LogShows(const std::string& line) {
        return e2e::WaitFor([&] { return Contains(Log(), line); }, 20s);
    }
    // Repeats `act` until the game logs `line` within a second of it, for up
    // to 30 s: right after mapping or a switch the window may still be
    // settling into place and miss the pointer.
    template <typename Act> bool RepeatUntilLogged(Act act, const std::string& line) {
        return e2e::WaitFor(
            [&] {
                act();
                return e2e::WaitFor([&] { return Contains(Log(), line); }, 1s);
            },
            30s);
    }
    std::string WindowId() const { return std::to_string(window); }

    std::unique_ptr<LargeDesktop> desktop;
    e2e::Sandbox sandbox;
    std::unique_ptr<e2e::GameProcess> game;
    Window window = 0;
};

} // namespace

TEST_F(DesktopWindow, WindowIsTwiceTheBackBufferAndClicksReachTheGameAtHalf) {
    Start({});
    Geometry g = GeometryOf(desktop->display, window);
    // The back buffer is the client area: 800 x 600 plus one menu-bar height.
    EXPECT_EQ(g.width, 1600);
    EXPECT_EQ(g.height, 2 * 620);

    EXPECT_TRUE(RepeatUntilLogged(
        [&] {
            Xdotool(*desktop, {"mousemove", "--window", WindowId(), "600", "400"});
        },
        "move 300 200"))
        << Log();
    EXPECT_TRUE(RepeatUntilLogged(
        [&] {
            Xdotool(*desktop, {"click", "1"});
        },
        "lbuttondown 300 200"))
        << Log();
    EXPECT_TRUE(TakeScreenshot(*desktop, "desktop_window_2x.png"));
    EXPECT_TRUE(game->Running());
}

TEST_F(DesktopWindow, TheXServerShowsTheGameDrawnTwiceAsLarge) {
    Start({});
    Geometry g = GeometryOf(desktop->display, window);
    ASSERT_EQ(g.width, 1600);
    // The window maps before the intro's first frame: look again until it draws.
    int colours = 0;
    EXPECT_TRUE(e2e::WaitFor(
        [&] { return (colours = ColoursIn(*desktop, g.x, g.y, g.width, g.height, "desktop_window_game.png")) > 64; },
        30s))
        << colours << " colours";
    // Drawing goes into the window that was mapped: SDL did not replace it
    // with a new X window for its renderer (which flickers and loses the id).
    EXPECT_EQ(FindGameWindow(desktop->display, DefaultRootWindow(desktop->display)), window);
    EXPECT_TRUE(game->Running());
}

namespace {

// Looks the window up again on every try, so that a switch which went wrong
// shows as a wrong geometry rather than as a window that is gone.
bool WaitForGeometry(Display* display, Window* window, int x, int y, int width, int height) {
    return e2e::WaitFor(
        [&] {
            *window = FindGameWindow(display, DefaultRootWindow(display));
            Geometry g = GeometryOf(display, *window);
            return g.x == x && g.y == y && g.width == width && g.height == height;
        },
        5s);
}

// Gives the window the keyboard focus and presses `keys`, again while the
// window has not reached the geometry (the press may have come before the
// window was ready for it).
bool SwitchTo(const LargeDesktop& desktop, Window* window, const std::string& keys, const Geometry& want) {
    Display* d = desktop.display;
    for (int attempt = 0; attempt < 4; ++attempt) {
        *window = FindGameWindow(d, DefaultRootWindow(d));
        Xdotool(desktop, {"windowfocus", "--sync", std::to_string(*window)});
        Xdotool(desktop, {"key", keys});
        if (WaitForGeometry(d, window, want.x, want.y, want.width, want.height))
            return true;
    }
    return false;
}

std::string Describe(Display* display, Window window) {
    Geometry g = GeometryOf(display, window);
    return std::to_string(g.width) + "x" + std::to_string(g.height) + "+" + std::to_string(g.x) + "+" +
           std::to_string(g.y);
}

// The game's 800 x 620 client drawn as large as fits 2560 x 1440, centred.
constexpr int kLetterboxWidth = 1858;
constexpr int kLetterboxX = (kScreenWidth - kLetterboxWidth) / 2;

} // namespace

TEST_F(DesktopWindow, F11GoesFullScreenLetterboxedAndBackWhileTheGameKeepsRunning) {
    Start({});
    Display* d = desktop->display;
    const Geometry windowed = GeometryOf(d, window);
    ASSERT_EQ(windowed.width, 1600) << Describe(d, window);
    // Keys go to the window under the pointer: there is no window manager.
    ASSERT_TRUE(RepeatUntilLogged(
        [&] {
            Xdotool(*desktop, {"mousemove", "--window", WindowId(), "600", "400"});
        },
        "move 300 200"))
        << Log();

    const Geometry screen{0, 0, kScreenWidth, kScreenHeight};
    ASSERT_TRUE(SwitchTo(*desktop, &window, "F11", screen)) << Describe(d, window);
    // A click at screen pixel (584, 144) lands on client pixel (100, 62) of
    // the letterboxed picture; the window's half scale would give others.
    EXPECT_TRUE(RepeatUntilLogged(
        [&] {
            Xdotool(*desktop, {"mousemove", "584", "144"});
            Xdotool(*desktop, {"click", "1"});
        },
        "lbuttondown 100 62"))
        << Log();
    // Once the next frame is shown, the bars beside the picture are black
    // and the picture itself is drawn.
    EXPECT_TRUE(e2e::WaitFor(
        [&] {
            return ColoursIn(*desktop, 0, 0, kLetterboxX - 1, kScreenHeight, "desktop_fullscreen_bar.png") == 1 &&
                   ColoursIn(*desktop, kLetterboxX + 1, 0, kLetterboxWidth - 2, kScreenHeight,
                             "desktop_fullscreen_picture.png") > 64;
        },
        20s));
    // Still running in full screen: SPACE leaves the intro, and what the
    // screen shows changes with it.
    ASSERT_TRUE(TakeScreenshot(*desktop, "desktop_fullscreen_intro.png"));
    const std::string intro = ReadFile(ScreenshotPath("desktop_fullscreen_intro.png"));
    Xdotool(*desktop, {"windowfocus", "--sync", WindowId()});
    Xdotool(*desktop, {"key", "space"});
    EXPECT_TRUE(LogShows("keydown 32")) << Log();
    EXPECT_TRUE(e2e::WaitFor(
        [&] {
            return TakeScreenshot(*desktop, "desktop_fullscreen_menu.png") &&
                   ReadFile(ScreenshotPath("desktop_fullscreen_menu.png")) != intro;
        },
        20s));

    EXPECT_TRUE(SwitchTo(*desktop, &window, "F11", windowed)) << Describe(d, window);
    EXPECT_TRUE(RepeatUntilLogged(
        [&] {
            Xdotool(*desktop, {"mousemove", "--window", WindowId(), "610", "420"});
        },
        "move 305 210"))
        << Log();

    // Alt+Enter switches the same way.
    EXPECT_TRUE(SwitchTo(*desktop, &window, "alt+Return", screen)) << Describe(d, window);
    EXPECT_TRUE(SwitchTo(*desktop, &window, "alt+KP_Enter", windowed))
        << Describe(d, window);

    const std::string log = Log();
    EXPECT_FALSE(Contains(log, "keydown 122")) << log; // F11
    EXPECT_FALSE(Contains(log, "keyup 122")) << log;
    EXPECT_FALSE(Contains(log, "keydown 13")) << log; // Enter
    EXPECT_FALSE(Contains(log, "char 13")) << log;
    EXPECT_TRUE(game->Running());
}

namespace {

// Leaves the intro, takes "Play" into the first mission (it opens at tick 276)
// and presses the one button at `at` on the controller, or not at all.
std::string MissionScript(const std::string& press, int at, const std::string& shot) {
    std::string script = "3 hold SPACE 2\n229 hold SPACE 2\n";
    if (press == "pad")
        script += std::to_string(at) + " pad down A\n" + std::to_string(at + 2) + " pad up A\n";
    return script + "345 shot " + shot + "\n";
}

std::string MissionFrame(const e2e::Sandbox& sandbox, const std::string& press, int at) {
    std::string name = press + std::to_string(at);
    std::string shot = sandbox.PathOf(name + ".png");
    e2e::Result result = e2e::RunHeadless(sandbox, MissionScript(press, at, shot), 350,
                                          {{"BACKFIRE_INPUT_LOG", sandbox.PathOf(name + ".log")}});
    EXPECT_EQ(result.exitCode, 0) << name << ": " << result.errors;
    return ReadFile(shot);
}

} // namespace

TEST(VirtualPad, ButtonLaunchesAWeaponInAScriptedMission) {
    e2e::Sandbox sandbox;
    std::string none = MissionFrame(sandbox, "none", 330);
    std::string pad = MissionFrame(sandbox, "pad", 330);
    ASSERT_FALSE(none.empty());
    ASSERT_FALSE(pad.empty());
    // Without the press the run is the same every time: only the launched
    // weapon can tell the frames apart.
    EXPECT_TRUE(pad != none) << "the controller's press changed nothing";
    // Two SPACE presses leave the intro and take "Play"; the third is the pad's.
    std::string log = ReadFile(sandbox.PathOf("pad330.log"));
    size_t presses = 0;
    for (size_t at = log.find("keydown 32\nchar 32\n"); at != std::string::npos;
         at = log.find("keydown 32\nchar 32\n", at + 1))
        ++presses;
    EXPECT_EQ(presses, 3u) << log;
}

namespace {

// The frames of ticks 3..8 with the one button pressed at tick `at` for two
// ticks, by `press` ("pad" or "key").
std::vector<std::string> IntroFrames(const e2e::Sandbox& sandbox, const std::string& press, int at) {
    const std::string name = press + std::to_string(at);
    std::string script = press == "pad" ? std::to_string(at) + " pad down A\n" + std::to_string(at + 2) + " pad up A\n"
                                        : std::to_string(at) + " hold SPACE 2\n";
    for (int tick = 3; tick <= 8; ++tick)
        script += std::to_string(tick) + " shot " + sandbox.PathOf(name + "-" + std::to_string(tick) + ".png") + "\n";
    e2e::Result result = e2e::RunHeadless(sandbox, script, 9);
    EXPECT_EQ(result.exitCode, 0) << name << ": " << result.errors;
    std::vector<std::string> frames;
    for (int tick = 3; tick <= 8; ++tick)
        frames.push_back(ReadFile(sandbox.PathOf(name + "-" + std::to_string(tick) + ".png")));
    return frames;
}

} // namespace

TEST(VirtualPad, PressAtATickIsTheKeyPressAtThatTickInEveryRun) {
    e2e::Sandbox sandbox;
    const std::vector<std::string> key = IntroFrames(sandbox, "key", 3);
    ASSERT_EQ(key.size(), 6u);
    for (const std::string& frame : key)
        ASSERT_FALSE(frame.empty());
    // The frames tell a press one tick later apart.
    EXPECT_NE(IntroFrames(sandbox, "key", 4), key);
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(IntroFrames(sandbox, "pad", 3), key) << "run " << run;
}
