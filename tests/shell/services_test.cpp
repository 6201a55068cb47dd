#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "environment_variable.h"
#include "shell/game_state.h"
#include "shell/services.h"
#include "shell/turtle.h"

namespace fs = std::filesystem;

TEST(Services, StartLoadsTheStateAndStopSavesTheOptionsUnlessTheStateIsLeftUntouched) {
    test_environment::SetIfUnset("BACKFIRE_HEADLESS", "1");
    const fs::path previous = fs::current_path();
    const fs::path directory =
        fs::temp_directory_path() / ("backfire_services_" + std::to_string(std::random_device{}()));
    fs::create_directories(directory);
    fs::current_path(directory);
    // A damaged options file and progress left over from an earlier game.
    const Options damaged{0, 1, 1.25f, 99, 4, 3, 1};
    std::ofstream("options.dat", std::ios::binary)
        .write(reinterpret_cast<const char*>(&damaged), sizeof(damaged));
    TheProgress.gamesPlayed = 5;
    TheProgress.missions[3].unlocked = 1;
    ASSERT_TRUE(SaveProgress("game.dat"));
    ClearProgress();
    TheOptions.difficulty = 2;

    StartServices(SavedState::Used);
    EXPECT_NE(turtle, nullptr);
    EXPECT_EQ(TheProgress.gamesPlayed, 5);
    EXPECT_EQ(UnlockedMissionCount(), 2);
    EXPECT_EQ(TheOptions.musicOn, 0);
    EXPECT_EQ(TheOptions.thrustSpeed, 3);
    EXPECT_EQ(TheOptions.gameSpeed, 4);
    EXPECT_EQ(TheOptions.difficulty, 1);
    PlayButtonSound();
    TheOptions.menuSpeed = 6;
    StopServices(SavedState::Used);
    EXPECT_EQ(turtle, nullptr);
    EXPECT_EQ(buttonSound, nullptr);

    Options saved{};
    std::ifstream("options.dat", std::ios::binary).read(reinterpret_cast<char*>(&saved), sizeof(saved));
    EXPECT_EQ(saved.menuSpeed, 6);
    EXPECT_EQ(saved.thrustSpeed, 3);

    // A replay being watched starts from the defaults and writes nothing.
    fs::remove("options.dat");
    StartServices(SavedState::Untouched);
    EXPECT_EQ(TheProgress.gamesPlayed, 0);
    EXPECT_EQ(TheOptions.thrustSpeed, 3);
    EXPECT_EQ(TheOptions.menuSpeed, 3);
    StopServices(SavedState::Untouched);
    EXPECT_FALSE(fs::exists("options.dat"));
    fs::current_path(previous);
    fs::remove_all(directory);
    ClearProgress();
    SetDefaultOptions();
}
