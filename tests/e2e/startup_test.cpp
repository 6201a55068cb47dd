// The real binary, headless: what a short run leaves behind, the single
// instance rule, a refused input script and a window with no display.
#include "e2e/game_process.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const char* const TweakHeader =
    "**** Pellmark Game Design Tweak system 1.0\n****\n"
    "**** This file is read every time the program executes, and\n**** is re-written every time the program "
    "exits.\n"
    "**** You can change the behavior of the program by changing this file.\n"
    "**** Only change the first number after the 'ENTRY' keyword.  This is\n"
    "**** the floating point value associated with each tweak.\n"
    "**** The two numbers after that are the suggested minimum and maximum values.\n"
    "**** The description is for the tweak on the line above the description.\n"
    "****\n****\n";

} // namespace

TEST(Startup, FiftyHeadlessTicksExitCleanlyAndLeaveTheRunFiles) {
    e2e::Sandbox sandbox;
    e2e::Result result = e2e::RunHeadless(sandbox, "", 50);
    ASSERT_FALSE(result.timedOut) << result.errors;
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_EQ(sandbox.Read("als.dat"), "0");
    EXPECT_EQ(sandbox.Read("VideoCardInfo.txt"), "VANTRY video system enumeration\n\n");
    EXPECT_EQ(sandbox.Read("tweaks.dat"), TweakHeader);
    // A first run has no als.dat before it, so it keeps no start-up trace.
    EXPECT_FALSE(sandbox.Exists("autolog.dat"));
}

TEST(Startup, RunAfterAnUnfinishedRunWritesTheStartupTrace) {
    e2e::Sandbox sandbox;
    sandbox.Write("als.dat", "0");
    e2e::Result result = e2e::RunHeadless(sandbox, "", 20);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    std::string log = sandbox.Read("autolog.dat");
    EXPECT_EQ(log.rfind("Autolog for App Start v0.500000,  ", 0), 0u) << log;
    EXPECT_NE(log.find("Desktop is "), std::string::npos) << log;
}

TEST(Startup, SecondInstanceExitsAtOnceWithCodeOne) {
    e2e::Sandbox sandbox;
    std::map<std::string, std::string> env{{"BACKFIRE_HEADLESS", "1"}, {"BACKFIRE_MAX_TICKS", "1000000"}};
    e2e::GameProcess first(sandbox, {}, env);
    ASSERT_TRUE(e2e::WaitFor([&] { return sandbox.Exists("VideoCardInfo.txt"); }, 30s));
    ASSERT_TRUE(first.Running());

    e2e::Sandbox other; // a different working directory, the same lock
    env["BACKFIRE_INSTANCE_LOCK"] = sandbox.PathOf("instance.lock");
    e2e::GameProcess second(other, {}, env);
    e2e::Result result = second.Wait(30s);
    EXPECT_EQ(result.exitCode, 1) << result.errors;
    EXPECT_FALSE(other.Exists("VideoCardInfo.txt"));
    EXPECT_TRUE(first.Running());
}

TEST(Startup, MalformedScriptLineStopsBeforeTheFirstTick) {
    e2e::Sandbox sandbox;
    e2e::Result result = e2e::RunHeadless(sandbox, "# fine\n10 down SPACE\n12 jump SPACE\n", 50);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.errors.find("script.txt:3"), std::string::npos) << result.errors;
    EXPECT_FALSE(sandbox.Exists("als.dat"));
}

TEST(Startup, WindowWithoutADisplayFailsAndSavesNothing) {
    // An empty variable is as unset, to the game and to SDL.
    std::map<std::string, std::string> env{
        {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}, {"BACKFIRE_HEADLESS", ""}};
    {
        e2e::Sandbox sandbox;
        e2e::Result result = e2e::GameProcess(sandbox, {"-W"}, env).Wait(30s);
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_EQ(result.errors,
                  "no display to show the game on: neither DISPLAY nor WAYLAND_DISPLAY is set; "
                  "BACKFIRE_HEADLESS=1 runs the game without one\n");
        for (const char* file : {"game.dat", "options.dat", "als.dat"})
            EXPECT_FALSE(sandbox.Exists(file)) << file;
    }
    // A video driver the user named is tried; when it cannot start, the start-up
    // failure is not reported as success.
    env["SDL_VIDEODRIVER"] = "no-such-driver";
    e2e::Sandbox sandbox;
    e2e::Result result = e2e::GameProcess(sandbox, {"-W"}, env).Wait(30s);
    EXPECT_EQ(result.exitCode, 2) << result.errors;
    EXPECT_NE(result.errors.find("Could not initialize Direct3D"), std::string::npos) << result.errors;
    EXPECT_FALSE(sandbox.Exists("game.dat"));
    EXPECT_FALSE(sandbox.Exists("options.dat"));
}

TEST(Startup, ScriptedScreenshotIsWritten) {
    e2e::Sandbox sandbox;
    e2e::Result result = e2e::RunHeadless(sandbox, "5 shot " + sandbox.PathOf("intro.png") + "\n", 10);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(sandbox.Exists("intro.png"));
}

TEST(Startup, ClosingTheWindowDuringAMissionExitsCleanly) {
    e2e::Sandbox sandbox;
    // Leave the intro, then take "Play" as the pointer passes it (1 pixel a
    // tick at the default menu speed, 30-pixel rows, "Play" the eighth row).
    e2e::Result result = e2e::RunHeadless(sandbox,
                                          "3 hold SPACE 2\n229 hold SPACE 2\n"
                                          "390 shot " +
                                              sandbox.PathOf("mission.png") + "\n",
                                          400);
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(sandbox.Exists("mission.png"));
    EXPECT_TRUE(sandbox.Exists("options.dat"));
    EXPECT_FALSE(sandbox.Exists("game.dat")); // no results screen was reached
}
