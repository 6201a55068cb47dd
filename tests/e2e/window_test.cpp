// The real binary in a real window under Xvfb: size, title, and closing it.
#include "e2e/game_process.h"

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <filesystem>
#include <memory>
#include <thread>

using namespace std::chrono_literals;

namespace {

void RequestClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

TEST(Window, OpensTitledGameWindowAndClosingItEndsTheGame) {
    if (!std::filesystem::exists("/usr/bin/Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    e2e::VirtualDisplay x;
    ASSERT_NE(x.display, nullptr);

    e2e::Sandbox sandbox;
    e2e::GameProcess game(sandbox, {"-W"}, {{"DISPLAY", x.name}, {"SDL_AUDIODRIVER", "dummy"}});
    Window window = 0;
    ASSERT_TRUE(e2e::WaitFor(
        [&] { return (window = e2e::FindWindowNamed(x.display, DefaultRootWindow(x.display), "Game")) != 0; },
        30s));

    XWindowAttributes attributes{};
    ASSERT_TRUE(XGetWindowAttributes(x.display, window, &attributes));
    EXPECT_EQ(attributes.width, 800);
    EXPECT_EQ(attributes.height, 620); // the requested 600 plus one menu-bar height

    // Let it run a little, then close it as a window manager would. The
    // window is looked up again: presenting may have replaced the X window.
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(game.Running());
    window = e2e::FindWindowNamed(x.display, DefaultRootWindow(x.display), "Game");
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(XGetWindowAttributes(x.display, window, &attributes));
    EXPECT_EQ(attributes.width, 800);
    EXPECT_EQ(attributes.height, 620);
    RequestClose(x.display, window);
    e2e::Result result = game.Wait(30s);
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
}

TEST(Window, LosingTheXServerAsTheSessionEndsIsAnOrderlyEnd) {
    // The game is told to end and its X server goes at the same moment, as
    // at a logout, in the middle of a mission. Whichever comes first, the
    // game ends with a status of its own, never by a signal.
    if (!std::filesystem::exists("/usr/bin/Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    for (int run = 0; run < 4; ++run) {
        auto x = std::make_unique<e2e::VirtualDisplay>();
        ASSERT_NE(x->display, nullptr);
        e2e::Sandbox sandbox;
        sandbox.Write("play.txt", "3 hold SPACE 2\n229 hold SPACE 2\n"); // "Play" at tick 229
        e2e::GameProcess game(sandbox, {"-W"},
                              {{"DISPLAY", x->name},
                               {"SDL_AUDIODRIVER", "dummy"},
                               {"BACKFIRE_SCRIPT", sandbox.PathOf("play.txt")}});
        ASSERT_TRUE(e2e::WaitFor(
            [&] { return e2e::FindWindowNamed(x->display, DefaultRootWindow(x->display), "Game") != 0; },
            30s));
        std::this_thread::sleep_for(7500ms); // into the mission
        ASSERT_TRUE(game.Running());
        game.RequestEnd();
        x.reset();
        const e2e::Result result = game.Wait(30s);
        ASSERT_FALSE(result.timedOut) << "run " << run;
        ASSERT_TRUE(result.exitCode == 0 || result.exitCode == 1)
            << "run " << run << ": exit code " << result.exitCode << ", signal " << result.signal << "\n"
            << result.errors;
        if (result.exitCode == 1) {
            EXPECT_NE(result.errors.find("Backfire: the connection to the X server was lost; the game ends."),
                      std::string::npos)
                << result.errors;
        }
    }
}
