// The first-run journey in a real window under Xvfb, played with real key
// events from xdotool. Keys arrive on the real clock, so every step watches
// the window's pixels for the screen it waits for (a menu row lights up while
// the pointer is on it) instead of counting time.
#include "e2e/game_files.h"
#include "e2e/game_process.h"
#include "platform/image/image_decode.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <filesystem>
#include <functional>
#include <set>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace std::chrono_literals;

namespace {

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 620; // 600 asked for, plus one menu-bar height

// Runs a program with DISPLAY set and waits for it; true when it exited with 0.
bool RunOn(const std::string& display, std::vector<std::string> args) {
    std::vector<std::string> environment{"DISPLAY=" + display};
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("DISPLAY=", 0) != 0)
            environment.push_back(*e);
    std::vector<char*> envp;
    for (auto& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// What a label's pixels look like: the menu draws the row under its pointer
// pink and the others green, both fading downwards.
struct Colours {
    int pink = 0;
    int green = 0;
    int blue = 0; // the help text and the results title
};

bool IsPink(int r, int g, int b) {
    return r > g + 25 && b + 10 > g && b > 80;
}
bool IsGreen(int r, int g, int b) {
    return g > r + 40 && g > b + 40;
}
bool IsBlue(int r, int g, int b) {
    return b > 180 && b > r + 80 && b > g + 60;
}

class GameWindow {
  public:
    explicit GameWindow(Display* display) : display(display) {}

    // Finds the window and its place on the screen.
    bool Locate() {
        const Window root = DefaultRootWindow(display);
        const Window window = e2e::FindWindowNamed(display, root, "Game");
        Window child = 0;
        return window != 0 && XTranslateCoordinates(display, window, root, 0, 0, &left, &top, &child);
    }
    Colours Count(int x, int y, int width, int height) const {
        Colours counts;
        XImage* image =
            XGetImage(display, DefaultRootWindow(display), left + x, top + y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image)
            return counts;
        for (int j = 0; j < height; ++j) {
            for (int i = 0; i < width; ++i) {
                const unsigned long pixel = XGetPixel(image, i, j);
                const int r = static_cast<int>((pixel >> 16) & 0xFF);
                const int g = static_cast<int>((pixel >> 8) & 0xFF);
                const int b = static_cast<int>(pixel & 0xFF);
                counts.pink += IsPink(r, g, b);
                counts.green += IsGreen(r, g, b);
                counts.blue += IsBlue(r, g, b);
            }
        }
        XDestroyImage(image);
        return counts;
    }
    // The label of a menu row centred at x, its row starting at rowTop.
    Colours Label(int centreX, int rowTop) const { return Count(centreX - 30, rowTop + 6, 60, 18); }
    std::vector<unsigned long> Pixels(int x, int y, int width, int height) const {
        std::vector<unsigned long> out;
        XImage* image =
            XGetImage(display, DefaultRootWindow(display), left + x, top + y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image)
            return out;
        for (int j = 0; j < height; ++j)
            for (int i = 0; i < width; ++i)
                out.push_back(XGetPixel(image, i, j));
        XDestroyImage(image);
        return out;
    }

    Display* display;
    int left = 0;
    int top = 0;
};

bool Lit(const Colours& c) {
    return c.pink >= 15 && c.pink > 3 * c.green;
}
bool Shown(const Colours& c) {
    return c.pink + c.green >= 15;
}

// Menu rows in the 800 x 620 window (the menus centre on y 310): the main
// menu's labels centre on x 200 with 30-pixel rows from y 310; the other
// menus centre on x 400.
int MainMenuRow(int row) {
    return 310 + 30 * row;
}
constexpr int MainMenuX = 200;
constexpr int CentreX = 400;
constexpr int PlayRow = 7;
constexpr int GameSpeedRow = 3;
constexpr int QuitRow = 9;
// One mission: 40-pixel rows from 250, "Cancel" the third.
constexpr int MissionSelectCancelTop = 330;
// Game speed: nine rows from 275, "Kinda Fast" the fifth.
constexpr int KindaFastTop = 395;

} // namespace

TEST(XvfbJourney, FirstRunPlayedWithRealKeysInARealWindowVerifiesFromItsReplay) {
    if (!std::filesystem::exists("/usr/bin/Xvfb") || !std::filesystem::exists("/usr/bin/xdotool"))
        GTEST_SKIP() << "Xvfb or xdotool is not installed";
    e2e::VirtualDisplay x;
    ASSERT_NE(x.display, nullptr);
    const std::string& name = x.name;
    const auto key = [&](const char* k) { ASSERT_TRUE(RunOn(name, {"xdotool", "key", k})) << k; };

    // Hard and "Very Fast" end an untouched mission in about 600 ticks.
    e2e::Sandbox sandbox;
    sandbox.Write("options.dat", e2e::OptionsFile(1, 1, e2e::FloatOneAndThreeQuarters, 3, 6, 3, 2));
    e2e::GameProcess game(sandbox, {"-W"}, {{"DISPLAY", name}, {"SDL_AUDIODRIVER", "dummy"}});
    GameWindow window(x.display);
    ASSERT_TRUE(e2e::WaitFor([&] { return window.Locate(); }, 60s));
    // Without a window manager the keyboard follows the pointer: park it
    // in the window's top right corner, away from every label.
    ASSERT_TRUE(RunOn(name, {"xdotool", "mousemove", std::to_string(window.left + WindowWidth - 5),
                             std::to_string(window.top + 5)}));

    const auto mainMenu = [&] { return Shown(window.Label(MainMenuX, MainMenuRow(QuitRow))); };
    // Waits for the row to light up and takes it.
    const auto take = [&](int centreX, int rowTop, const char* what) {
        ASSERT_TRUE(e2e::WaitFor([&] { return Lit(window.Label(centreX, rowTop)); }, 90s)) << what;
        ASSERT_NO_FATAL_FAILURE(key("space"));
    };

    // The intro leaves on the key's release.
    ASSERT_TRUE(e2e::WaitFor(
        [&] {
            const std::vector<unsigned long> pixels = window.Pixels(0, 0, WindowWidth, WindowHeight);
            return std::set<unsigned long>(pixels.begin(), pixels.end()).size() > 50;
        },
        30s));
    ASSERT_NO_FATAL_FAILURE(key("space"));
    ASSERT_TRUE(e2e::WaitFor(mainMenu, 60s));

    // The main menu as the X server shows it: the window's 800 x 620 is
    // all game picture, and a first run shows the blue help text.
    const std::string shot = sandbox.PathOf("menu_root.png");
    ASSERT_TRUE(RunOn(name, {"import", "-window", "root", shot}));
    platform::DecodedImage screen;
    ASSERT_TRUE(platform::DecodeImage(shot, &screen));
    ASSERT_EQ(screen.width, 1280);
    ASSERT_EQ(screen.height, 1024);
    ASSERT_LE(window.left + WindowWidth, screen.width);
    ASSERT_LE(window.top + WindowHeight, screen.height);
    std::set<uint32_t> distinct;
    int helpBlue = 0;
    for (int j = 0; j < WindowHeight; ++j) {
        for (int i = 0; i < WindowWidth; ++i) {
            const uint32_t p =
                screen.argb[static_cast<size_t>(window.top + j) * screen.width + window.left + i];
            distinct.insert(p & 0xFFFFFFu);
            if (i >= 450 && i < 750 && j >= 320 && j < 500)
                helpBlue += IsBlue(static_cast<int>(p >> 16 & 0xFF), static_cast<int>(p >> 8 & 0xFF),
                                   static_cast<int>(p & 0xFF));
        }
    }
    EXPECT_GT(distinct.size(), 500u);
    EXPECT_GT(helpBlue, 100);

    // "Play" on a first run starts "Milk Run".
    ASSERT_NO_FATAL_FAILURE(take(MainMenuX, MainMenuRow(PlayRow), "Play"));
    ASSERT_TRUE(e2e::WaitFor([&] { return !mainMenu(); }, 60s));
    std::this_thread::sleep_for(1s);
    // The field's pause: the picture stands still until "p" again (the
    // lower right corner is left out: a slow machine may show the turtle).
    const auto field = [&] { return window.Pixels(0, 0, 640, 540); };
    ASSERT_NO_FATAL_FAILURE(key("p"));
    std::this_thread::sleep_for(500ms);
    const std::vector<unsigned long> paused = field();
    std::this_thread::sleep_for(500ms);
    EXPECT_EQ(field(), paused);
    ASSERT_NO_FATAL_FAILURE(key("p"));
    EXPECT_TRUE(e2e::WaitFor([&] { return field() != paused; }, 30s));
    // Weapons launched and a boost held, at whatever ticks the real keys
    // land on: the replay must hold them all.
    for (int tap = 0; tap < 6; ++tap) {
        ASSERT_NO_FATAL_FAILURE(key("space"));
        std::this_thread::sleep_for(300ms);
    }
    ASSERT_TRUE(RunOn(name, {"xdotool", "keydown", "space", "sleep", "1", "keyup", "space"}));

    // The ship is lost; the results screen's blue title drops in (clear of
    // the field's blue boost meter).
    ASSERT_TRUE(e2e::WaitFor([&] { return window.Count(300, 35, 200, 50).blue > 100; }, 150s));
    ASSERT_NO_FATAL_FAILURE(key("space"));
    ASSERT_TRUE(e2e::WaitFor(mainMenu, 60s));

    // After a game "Play" opens the mission select; "Cancel" comes back.
    ASSERT_NO_FATAL_FAILURE(take(MainMenuX, MainMenuRow(PlayRow), "Play again"));
    ASSERT_NO_FATAL_FAILURE(take(CentreX, MissionSelectCancelTop, "Cancel"));
    ASSERT_TRUE(e2e::WaitFor(mainMenu, 60s));

    ASSERT_NO_FATAL_FAILURE(take(MainMenuX, MainMenuRow(GameSpeedRow), "Change Game Speed"));
    ASSERT_NO_FATAL_FAILURE(take(CentreX, KindaFastTop, "Kinda Fast"));
    ASSERT_TRUE(e2e::WaitFor(mainMenu, 60s));
    ASSERT_NO_FATAL_FAILURE(take(MainMenuX, MainMenuRow(QuitRow), "QUIT GAME"));
    e2e::Result result = game.Wait(60s);
    ASSERT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errors;

    EXPECT_EQ(sandbox.Read("options.dat"), e2e::OptionsFile(1, 1, e2e::FloatOneAndAQuarter, 3, 4, 3, 2));
    const std::string progress = sandbox.Read("game.dat");
    ASSERT_EQ(progress.size(), 224u);
    EXPECT_EQ(e2e::WordAt(progress, 0), 1);                          // "Milk Run" open
    EXPECT_EQ(e2e::WordAt(progress, 160), 0);                        // last mission
    EXPECT_EQ(e2e::WordAt(progress, 164), 1);                        // games played
    EXPECT_EQ(e2e::WordAt(progress, 8), e2e::WordAt(progress, 168)); // its best is the last score
    EXPECT_EQ(e2e::WordAt(progress, 220), 1);                        // one results screen

    // The mission, kept as it was played, verifies headless.
    e2e::GameProcess replay(sandbox, {"--replay", "replays/last.bfr", "--verify"}, {});
    e2e::Result verified = replay.Wait(120s);
    EXPECT_EQ(verified.exitCode, 0) << verified.errors;
    EXPECT_EQ(verified.output.rfind("score " + std::to_string(e2e::WordAt(progress, 168)) + "00 level ", 0), 0u)
        << verified.output;
}
