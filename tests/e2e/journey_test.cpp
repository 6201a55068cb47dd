// The whole game as a player meets it, through the real binary, headless:
// intro, main menu, a first mission to game over, the results screen, the
// mission select, an option menu and "QUIT GAME".
#include "e2e/game_process.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace std::chrono_literals;

namespace {

std::string ReadJourneyScript() {
    std::ifstream in(std::string(BACKFIRE_SOURCE_DIR) + "/tests/e2e/scripts/journey.txt");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(Journey, FirstRunScriptEndsTheGameByItself) {
    e2e::Sandbox sandbox;
    const std::string script = ReadJourneyScript();
    ASSERT_FALSE(script.empty());
    // No tick limit: the script has to reach "QUIT GAME" itself.
    e2e::Result result = e2e::RunHeadless(sandbox, script, -1, {}, 240s);
    ASSERT_FALSE(result.timedOut) << result.errors;
    EXPECT_EQ(result.exitCode, 0) << result.errors;
    EXPECT_TRUE(sandbox.Exists("game.dat"));
    EXPECT_TRUE(sandbox.Exists("options.dat"));
}
