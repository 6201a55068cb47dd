#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/game_application.h"
#include "core/game_mode.h"
#include "core/main_loop.h"
#include "core/object_list.h"
#include "engine/font.h"

namespace {

std::vector<std::string> lifeLog;
int fontsSeen = 0;
int fontsAtExit = 0;

int LiveFonts() {
    int count = 0;
    for (int32_t slot = 0; slot < FontSlotCount; ++slot)
        count += TheApplication->GetFont(slot) != nullptr ? 1 : 0;
    return count;
}

// Ticks `ticks` times, then leaves with `finalStatus` (2 with `next` set
// replaces it), or closes the window when `closeWindow` is set.
class FiniteMode : public GameMode {
  public:
    int ticks;
    int32_t finalStatus;
    bool closeWindow;
    GameMode* next;

    FiniteMode(const char* name, int ticks, int32_t finalStatus, bool closeWindow, GameMode* next)
        : GameMode(0, name), ticks(ticks), finalStatus(finalStatus), closeWindow(closeWindow), next(next) {}
    ~FiniteMode() override {
        lifeLog.push_back(std::string("delete ") + GetName());
        delete next;
    }
    int32_t Enter() override {
        lifeLog.push_back(std::string("enter ") + GetName());
        return 0;
    }
    int32_t Exit() override {
        lifeLog.push_back(std::string("exit ") + GetName());
        fontsAtExit = LiveFonts();
        return 0;
    }
    int32_t Tick() override {
        lifeLog.push_back(std::string("tick ") + GetName());
        fontsSeen = LiveFonts();
        TheApplication->StartRenderingFrame(0, 0, 0);
        TheApplication->FinishRenderingFrame();
        if (--ticks > 0) {
            return 0;
        }
        if (closeWindow) {
            PostMessageA(TheApplication->window, WM_CLOSE, 0, 0);
            return 0;
        }
        status = finalStatus;
        NextMode = next;
        next = nullptr;
        return 0;
    }
};

GameMode* LastModeStanding() {
    return new FiniteMode("ONLY", 3, 2, false, nullptr);
}

GameMode* IntroThatReplacesItself() {
    return new FiniteMode("FIRST", 2, 2, false, new FiniteMode("SECOND", 2, 0, true, nullptr));
}

// Runs GameMain in a fresh working directory with a test first mode.
class GameMainTest : public testing::Test {
  protected:
    std::filesystem::path previous;
    std::filesystem::path folder;

    void SetUp() override {
        lifeLog.clear();
        fontsAtExit = 0;
        previous = std::filesystem::current_path();
        folder =
            std::filesystem::temp_directory_path() /
            ("backfire_main_" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        std::filesystem::current_path(folder);
        WindowedOption = 0;
        ScreenWidthOption = 800;
        ScreenHeightOption = 600;
        CurrentMode = nullptr;
        NextMode = nullptr;
    }
    void TearDown() override {
        FirstModeFactory = nullptr;
        std::filesystem::current_path(previous);
        std::filesystem::remove_all(folder);
    }
    int Run(GameMode* (*factory)(), const char* commandLine) {
        FirstModeFactory = factory;
        std::string line = commandLine;
        return GameMain(nullptr, nullptr, line.data(), SW_SHOWNORMAL);
    }
};

using Journal = std::vector<std::string>;

} // namespace

TEST_F(GameMainTest, PoppingTheLastModeShowsTheFailureAndShutsDown) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(LastModeStanding, ""), 0);
    const std::string box = testing::internal::GetCapturedStderr();
    EXPECT_NE(box.find("Game Failure: No game mode on stack; expected one!"), std::string::npos) << box;
    EXPECT_EQ(lifeLog,
              (Journal{"enter ONLY", "tick ONLY", "tick ONLY", "tick ONLY", "exit ONLY", "delete ONLY"}));
    EXPECT_EQ(fontsSeen, 8);
    EXPECT_EQ(TheApplication, nullptr);
    EXPECT_EQ(ModeStack.IsEmpty(), 1);

    std::ifstream report("VideoCardInfo.txt", std::ios::binary);
    std::stringstream text;
    text << report.rdbuf();
    EXPECT_EQ(text.str(), "VANTRY video system enumeration\n\n");
}

TEST_F(GameMainTest, ClosingTheWindowEndsTheGameWithFontsAlive) {
    EXPECT_EQ(Run(IntroThatReplacesItself, "-w"), 0);
    const Journal expected = {"enter FIRST",  "tick FIRST",  "tick FIRST",  "exit FIRST",  "delete FIRST",
                              "enter SECOND", "tick SECOND", "tick SECOND", "exit SECOND", "delete SECOND"};
    EXPECT_EQ(lifeLog, expected);
    // The eight fonts lived up to the closing tick; the close let go of them
    // with the device, before the modes left.
    EXPECT_EQ(fontsSeen, 8);
    EXPECT_EQ(fontsAtExit, 0);
    EXPECT_EQ(TheApplication, nullptr);
    EXPECT_EQ(ModeStack.IsEmpty(), 1);
}
