// Inputs found by fuzzing the run log's reading of "als.dat".
#include "engine/run_log.h"

#include "engine_test_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class RunLogStateFileTest : public EngineTestDir {};

} // namespace

// A number too long for an int must not pass as zero: converted with an
// overflow, some of them (the first here among them) come out as zero.
TEST_F(RunLogStateFileTest, NumbersTooLongForAnIntAreNotZero) {
    for (const std::string text :
         {"-22222222222222222222222222222222222", "4294967296", "0000000000000000000000000000000000009"}) {
        Reset();
        WriteFile("als.dat", text);
        RunLog log;
        log.Start("App Start");
        EXPECT_EQ(log.enabled, 0) << text;
        EXPECT_FALSE(Exists("autolog.dat")) << text;
        EXPECT_EQ(ReadFile("als.dat"), "0");
    }
}

TEST_F(RunLogStateFileTest, ZeroInAnySpellingOfTheNumberTurnsTheLogOn) {
    for (const std::string text :
         {"0", " \n\t-0", "+000 and more", "00000000000000000000000000000000000000"}) {
        Reset();
        WriteFile("als.dat", text);
        RunLog log;
        log.Start("App Start");
        EXPECT_EQ(log.enabled, 1) << text;
    }
}
