#include "engine/run_log.h"

#include "engine_test_dir.h"

#include <gtest/gtest.h>

#include <regex>
#include <utility>

namespace {

class RunLogTest : public EngineTestDir {
  protected:
    RunLog log;
};

} // namespace

TEST_F(RunLogTest, ZeroInStateFileTurnsLogOnWithHeader) {
    WriteFile("als.dat", "0");
    log.Start("App Start");
    EXPECT_EQ(log.enabled, 1);
    EXPECT_EQ(ReadFile("als.dat"), "0");
    const std::string text = ReadFile("autolog.dat");
    EXPECT_TRUE(std::regex_match(
        text, std::regex(R"(Autolog for App Start v0\.500000,  \d\d/\d\d/\d\d, \d\d:\d\d:\d\d\n\n)")))
        << text;
}

TEST_F(RunLogTest, LinesAndNumbersAppendUnchangedThenFinishMarks) {
    WriteFile("als.dat", "0");
    log.Start("App Start");
    const std::string header = ReadFile("autolog.dat");
    log.Log("loading sound: ");
    log.Log("dat\\a.wav\n");
    log.LogNumber(-42);
    log.LogNumber(7);
    log.Finish();
    EXPECT_EQ(log.enabled, 0);
    EXPECT_EQ(ReadFile("als.dat"), "1");
    EXPECT_EQ(ReadFile("autolog.dat"), header + "loading sound: dat\\a.wav\n-427\n\nFINISHED\n\n");

    // the marker goes in once; later finishes only rewrite the state
    log.Finish();
    log.Log("late\n");
    EXPECT_EQ(ReadFile("autolog.dat"), header + "loading sound: dat\\a.wav\n-427\n\nFINISHED\n\n");
    EXPECT_EQ(ReadFile("als.dat"), "1");
}

TEST_F(RunLogTest, FinishedOrMissingStateKeepsLogOffAndUntouched) {
    for (const char* previous : {"1", static_cast<const char*>(nullptr)}) {
        Reset();
        if (previous)
            WriteFile("als.dat", previous);
        WriteFile("autolog.dat", "old log");
        log.Start("App Start");
        EXPECT_EQ(log.enabled, 0);
        EXPECT_EQ(ReadFile("als.dat"), "0");
        log.Log("text\n");
        log.LogNumber(5);
        log.Finish();
        EXPECT_EQ(ReadFile("autolog.dat"), "old log");
        EXPECT_EQ(ReadFile("als.dat"), "1");
    }
}

TEST_F(RunLogTest, StateMustStartWithANumber) {
    // content that is not a number counts as a finished run
    for (auto [content, on] :
         {std::pair{"x0", 0}, {"", 0}, {"  \n", 0}, {" 0junk", 1}, {"00", 1}, {"-1", 0}}) {
        Reset();
        WriteFile("als.dat", content);
        log.Start("App Start");
        EXPECT_EQ(log.enabled, on) << '"' << content << '"';
        EXPECT_EQ(Exists("autolog.dat"), on == 1);
        EXPECT_EQ(ReadFile("als.dat"), "0");
    }
}

TEST_F(RunLogTest, UnwritableLogFileIsSilent) {
    WriteFile("als.dat", "0");
    MakeDirectory("autolog.dat");
    log.Start("App Start");
    log.Log("text\n");
    log.LogNumber(1);
    log.Finish();
    EXPECT_EQ(ReadFile("als.dat"), "1");
}
