// The whole game as a player meets it, through the real binary, headless:
// a first run from the intro through a mission to the results screen and on
// to "QUIT GAME", a returning player's run through every option menu and
// the mission select, and a busy mission played twice. The input scripts
// live in tests/e2e/scripts; the tests add their screenshots and check the
// files the runs leave behind byte for byte.
#include "e2e/game_files.h"
#include "e2e/game_process.h"
#include "golden_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace std::chrono_literals;

namespace {

using e2e::FloatOne;
using e2e::FloatOneAndAQuarter;
using e2e::OptionsFile;
using e2e::ProgressFields;
using e2e::ProgressFile;

constexpr int Width = 800;
constexpr int Height = 600;

std::string ReadScript(const std::string& name) {
    std::ifstream in(std::string(BACKFIRE_SOURCE_DIR) + "/tests/e2e/scripts/" + name);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Shot {
    int tick;
    std::string name;
};

std::string WithShots(std::string script, const std::vector<Shot>& shots) {
    for (const Shot& shot : shots)
        script += std::to_string(shot.tick) + " shot " + shot.name + "\n";
    return script;
}

platform::DecodedImage Screenshot(const e2e::Sandbox& sandbox, const std::string& name) {
    platform::DecodedImage image;
    EXPECT_TRUE(platform::DecodeImage(sandbox.PathOf(name), &image)) << name;
    EXPECT_EQ(image.width, Width) << name;
    EXPECT_EQ(image.height, Height) << name;
    return image;
}

std::vector<uint32_t> Crop(const platform::DecodedImage& image, int left, int top, int width, int height) {
    std::vector<uint32_t> out;
    if (image.width < left + width || image.height < top + height)
        return out;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            out.push_back(image.argb[static_cast<size_t>(y) * image.width + x]);
    return out;
}

e2e::Result RunToTheEnd(const e2e::Sandbox& sandbox, const std::string& script,
                        std::map<std::string, std::string> env = {}) {
    // No tick limit: the script itself has to end the game.
    return e2e::RunHeadless(sandbox, script, -1, std::move(env), 240s);
}

} // namespace

TEST(Journey, FirstRunFromTheIntroThroughAMissionToQuitGame) {
    e2e::Sandbox sandbox;
    const std::string script = ReadScript("journey.txt");
    ASSERT_FALSE(script.empty());
    const std::vector<Shot> shots = {
        {2, "intro.png"},         {100, "menu_first_run.png"},  {380, "mission.png"},
        {420, "pause.png"},       {440, "pause_later.png"},     {2055, "results.png"},
        {2100, "menu_later.png"}, {2360, "mission_select.png"}, {2650, "game_speed.png"},
        {3107, "quit.png"},       {3108, "after_quit.png"},
    };
    e2e::Result result = RunToTheEnd(sandbox, WithShots(script, shots));
    ASSERT_FALSE(result.timedOut) << result.errors;
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    // "QUIT GAME" ended the run on the tick its blink finished, before any of
    // the script's fallback Escapes.
    EXPECT_TRUE(sandbox.Exists("quit.png"));
    EXPECT_FALSE(sandbox.Exists("after_quit.png"));

    // One game of "Milk Run" lost on level 1 with 1000 points (ten hundreds)
    // after 1554 ticks of play; its one kill was an enemy of type 3. The first
    // results screen showed tip 1.
    ProgressFields expected;
    expected.missions[0] = {1, 10, 0};
    expected.gamesPlayed = 1;
    expected.lastScore = 10;
    expected.bestScoreEver = 10;
    expected.missionTicks = 1554;
    expected.lastKillType = 3;
    expected.sameKillStreak = 1;
    expected.tipCounter = 1;
    EXPECT_EQ(sandbox.Read("game.dat"), ProgressFile(expected));
    // Only the game speed changed: "Kinda Fast" is setting 4 with factor 1.25.
    EXPECT_EQ(sandbox.Read("options.dat"), OptionsFile(1, 1, FloatOneAndAQuarter, 3, 4, 3, 1));

    const platform::DecodedImage intro = Screenshot(sandbox, "intro.png");
    const platform::DecodedImage menu = Screenshot(sandbox, "menu_first_run.png");
    const platform::DecodedImage mission = Screenshot(sandbox, "mission.png");
    const platform::DecodedImage pause = Screenshot(sandbox, "pause.png");
    const platform::DecodedImage pauseLater = Screenshot(sandbox, "pause_later.png");
    const platform::DecodedImage results = Screenshot(sandbox, "results.png");
    const platform::DecodedImage menuLater = Screenshot(sandbox, "menu_later.png");
    const platform::DecodedImage select = Screenshot(sandbox, "mission_select.png");
    const platform::DecodedImage gameSpeed = Screenshot(sandbox, "game_speed.png");
    EXPECT_NE(intro.argb, menu.argb);
    EXPECT_NE(mission.argb, pause.argb);
    // The field's pause freezes the picture.
    EXPECT_EQ(pause.argb, pauseLater.argb);
    // After a game the status text stands where the help text stood.
    EXPECT_NE(Crop(menu, 450, 320, 300, 180), Crop(menuLater, 450, 320, 300, 180));
    EXPECT_NE(select.argb, gameSpeed.argb);
    EXPECT_TRUE(golden::MatchesGolden("journey_menu_first_run.png", menu.argb, menu.width, menu.height));
    EXPECT_TRUE(golden::MatchesGolden("journey_results.png", results.argb, results.width, results.height));
}

TEST(Journey, ReturningPlayerOpensEveryOptionMenuAndTheMissionSelect) {
    e2e::Sandbox sandbox;
    const std::string script = ReadScript("returning_player.txt");
    ASSERT_FALSE(script.empty());
    // Two missions open, the first excelled; the last game was "Blood
    // Pirates", 4000 points on level 3 in 4500 ticks (2 minutes).
    ProgressFields seed;
    seed.missions[0] = {1, 250, 9};
    seed.missions[1] = {1, 40, 2};
    seed.lastMission = 1;
    seed.gamesPlayed = 4;
    seed.lastScore = 40;
    seed.bestScoreEver = 250;
    seed.lastLevelIndex = 2;
    seed.missionTicks = 4500;
    seed.tipCounter = 2;
    const std::string progress = ProgressFile(seed);
    const std::string options = OptionsFile(1, 1, FloatOne, 3, 3, 3, 2);
    sandbox.Write("game.dat", progress);
    sandbox.Write("options.dat", options);
    const std::vector<Shot> shots = {
        {60, "menu.png"},           {180, "difficulty.png"},  {600, "game_speed.png"},
        {1050, "thrust_speed.png"}, {1600, "menu_speed.png"}, {2080, "mission_select.png"},
        {2151, "after_escape.png"},
    };
    e2e::Result result = RunToTheEnd(sandbox, WithShots(script, shots));
    ASSERT_FALSE(result.timedOut) << result.errors;
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    // The second Escape, in the main menu, ended the game at once.
    EXPECT_FALSE(sandbox.Exists("after_escape.png"));
    // No results screen: the progress stays as it was; every menu was
    // cancelled, so the options were written back unchanged.
    EXPECT_EQ(sandbox.Read("game.dat"), progress);
    EXPECT_EQ(sandbox.Read("options.dat"), options);

    const char* const optionMenus[] = {"difficulty.png", "game_speed.png", "thrust_speed.png",
                                       "menu_speed.png"};
    std::vector<std::vector<uint32_t>> helpTexts;
    for (const char* name : optionMenus)
        helpTexts.push_back(Crop(Screenshot(sandbox, name), 50, 20, 700, 200));
    for (size_t i = 0; i < helpTexts.size(); ++i)
        for (size_t j = i + 1; j < helpTexts.size(); ++j)
            EXPECT_NE(helpTexts[i], helpTexts[j]) << optionMenus[i] << " and " << optionMenus[j];

    const platform::DecodedImage menu = Screenshot(sandbox, "menu.png");
    const platform::DecodedImage select = Screenshot(sandbox, "mission_select.png");
    EXPECT_TRUE(golden::MatchesGolden("journey_menu_status.png", Crop(menu, 445, 315, 310, 260), 310, 260));
    EXPECT_TRUE(
        golden::MatchesGolden("journey_mission_select.png", select.argb, select.width, select.height));
}

// The same inputs give the same game: nothing but the script may steer a
// mission, not where its objects happen to be allocated, nor the clock.
TEST(Journey, ABusyMissionPlayedTwiceShowsTheSameFrameAtEveryTick) {
    const std::string script = ReadScript("busy_mission.txt");
    ASSERT_FALSE(script.empty());
    std::string hashes[2];
    std::string progress[2];
    for (int run = 0; run < 2; ++run) {
        e2e::Sandbox sandbox;
        const e2e::Result result =
            RunToTheEnd(sandbox, script, {{"BACKFIRE_FRAME_HASHES", sandbox.PathOf("hashes.txt")}});
        ASSERT_FALSE(result.timedOut) << result.errors;
        ASSERT_EQ(result.exitCode, 0) << result.errors;
        hashes[run] = sandbox.Read("hashes.txt");
        progress[run] = sandbox.Read("game.dat");
    }
    // One line for each of the 3900 ticks, up to the close on the results screen.
    EXPECT_EQ(std::count(hashes[0].begin(), hashes[0].end(), '\n'), 3900);
    EXPECT_EQ(hashes[0].rfind("3899 ", std::string::npos), hashes[0].size() - 22);
    // Ended by the loss of the ship, after weapons were launched and enemies killed.
    ASSERT_EQ(progress[0].size(), 224u);
    auto word = [&](size_t at) {
        uint32_t value = 0;
        for (size_t i = 4; i-- > 0;)
            value = value << 8 | static_cast<uint8_t>(progress[0][at + i]);
        return static_cast<int32_t>(value);
    };
    EXPECT_EQ(word(164), 1) << "games played";
    EXPECT_GT(word(168), 0) << "last score";
    EXPECT_EQ(progress[0], progress[1]);
    if (hashes[0] != hashes[1]) {
        std::istringstream first(hashes[0]);
        std::istringstream second(hashes[1]);
        std::string a;
        std::string b;
        while (std::getline(first, a) && std::getline(second, b) && a == b) {
        }
        ADD_FAILURE() << "the runs part at \"" << a << "\" against \"" << b << "\"";
    }
}
