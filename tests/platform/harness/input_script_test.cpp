#include "platform/harness/input_script.h"
#include "platform/win32/win32.h"

#include "platform/window_recorder.h"

#include <gtest/gtest.h>

#include <fstream>

using platform::ScriptAction;
using platform::ScriptEvent;

namespace {

std::vector<ScriptEvent> Parse(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_TRUE(platform::ParseInputScript(text, "play.txt", &events, &error)) << error;
    return events;
}

std::string ErrorOf(const std::string& text) {
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(platform::ParseInputScript(text, "play.txt", &events, &error)) << text;
    return error;
}

} // namespace

TEST(InputScript, EveryLineKind) {
    auto events = Parse("0 down SPACE\n"
                        "1 up 0x20\n"
                        "2 char q\n"
                        "2 char 13\n"
                        "3 lmb down\n"
                        "3 rmb up\n"
                        "4 move -5 7\n"
                        "5 shot out/frame.png\n"
                        "6 close\n");
    ASSERT_EQ(events.size(), 9u);
    EXPECT_EQ(events[0].action, ScriptAction::KeyDown);
    EXPECT_EQ(events[0].key, VK_SPACE);
    EXPECT_FALSE(events[0].typed);
    EXPECT_EQ(events[1].action, ScriptAction::KeyUp);
    EXPECT_EQ(events[1].key, VK_SPACE);
    EXPECT_EQ(events[2].action, ScriptAction::Char);
    EXPECT_EQ(events[2].value, 'q');
    EXPECT_EQ(events[3].value, 13);
    EXPECT_EQ(events[4].action, ScriptAction::LeftButton);
    EXPECT_EQ(events[4].value, 1);
    EXPECT_EQ(events[5].action, ScriptAction::RightButton);
    EXPECT_EQ(events[5].value, 0);
    EXPECT_EQ(events[6].action, ScriptAction::Move);
    EXPECT_EQ(events[6].value, -5);
    EXPECT_EQ(events[6].value2, 7);
    EXPECT_EQ(events[7].action, ScriptAction::Shot);
    EXPECT_EQ(events[7].file, "out/frame.png");
    EXPECT_EQ(events[8].action, ScriptAction::Close);
    EXPECT_EQ(events[8].tick, 6u);
    EXPECT_EQ(events[8].line, 9);
}

TEST(InputScript, CommentsBlankLinesAndWindowsLineEnds) {
    auto events = Parse("# a whole-line comment\n"
                        "\n"
                        "   \t \n"
                        "3 down ESCAPE   # trailing comment\r\n"
                        "4 close\r\n");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].key, VK_ESCAPE);
    EXPECT_EQ(events[0].line, 4);
    EXPECT_EQ(events[1].line, 5);
}

TEST(InputScript, HoldBecomesPressAndLaterReleaseInTickOrder) {
    auto events = Parse("2 hold SPACE 3\n"
                        "5 char x\n"
                        "1 down A\n");
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].tick, 1u); // sorted by tick...
    EXPECT_EQ(events[1].tick, 2u);
    EXPECT_EQ(events[1].action, ScriptAction::KeyDown);
    EXPECT_TRUE(events[1].typed);
    // ...and within tick 5 the release keeps its hold's place, ahead of a later line.
    EXPECT_EQ(events[2].tick, 5u);
    EXPECT_EQ(events[2].action, ScriptAction::KeyUp);
    EXPECT_EQ(events[2].key, VK_SPACE);
    EXPECT_EQ(events[3].action, ScriptAction::Char);
}

TEST(InputScript, SameTickKeepsFileOrder) {
    auto events = Parse("7 down LEFT\n7 up LEFT\n7 down RIGHT\n");
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].key, VK_LEFT);
    EXPECT_EQ(events[1].action, ScriptAction::KeyUp);
    EXPECT_EQ(events[2].key, VK_RIGHT);
}

TEST(InputScript, MalformedLinesNameFileAndLine) {
    EXPECT_EQ(ErrorOf("0 close\n\n5 jump\n"), "play.txt:3: unknown event 'jump'");
    EXPECT_EQ(ErrorOf("x down SPACE\n").rfind("play.txt:1: ", 0), 0u);
    EXPECT_EQ(ErrorOf("-1 down SPACE\n").rfind("play.txt:1: bad tick", 0), 0u);
    EXPECT_EQ(ErrorOf("4294967296 close\n").rfind("play.txt:1: bad tick", 0), 0u);
    EXPECT_EQ(ErrorOf("# ok\n2\n").rfind("play.txt:2: ", 0), 0u);
    EXPECT_EQ(ErrorOf("1 down SPACEBAR\n"), "play.txt:1: unknown key 'SPACEBAR'");
    EXPECT_EQ(ErrorOf("1 down\n").rfind("play.txt:1: 'down' takes 1 argument", 0), 0u);
    EXPECT_EQ(ErrorOf("1 close now\n").rfind("play.txt:1: 'close' takes 0 arguments", 0), 0u);
    EXPECT_EQ(ErrorOf("1 hold SPACE 0\n").rfind("play.txt:1: bad hold length", 0), 0u);
    EXPECT_EQ(ErrorOf("4294967290 hold SPACE 10\n").rfind("play.txt:1: bad hold length", 0), 0u);
    EXPECT_EQ(ErrorOf("1 char 256\n").rfind("play.txt:1: bad character", 0), 0u);
    EXPECT_EQ(ErrorOf("1 char ab\n").rfind("play.txt:1: bad character", 0), 0u);
    EXPECT_EQ(ErrorOf("1 lmb sideways\n"), "play.txt:1: 'lmb' wants down or up");
    EXPECT_EQ(ErrorOf("1 move 3\n").rfind("play.txt:1: 'move' takes 2 arguments", 0), 0u);
    EXPECT_EQ(ErrorOf("1 move 3 y\n"), "play.txt:1: bad movement");
    EXPECT_EQ(ErrorOf("1 move 99999999999 0\n"), "play.txt:1: bad movement");
    EXPECT_EQ(ErrorOf("1 shot\n").rfind("play.txt:1: 'shot' takes 1 argument", 0), 0u);
}

TEST(InputScript, LoadReportsAnUnreadableFile) {
    platform_test::TempDirectory dir;
    std::vector<ScriptEvent> events;
    std::string error;
    EXPECT_FALSE(platform::LoadInputScript(dir.File("missing.txt"), &events, &error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos);

    std::ofstream(dir.File("ok.txt")) << "0 down RETURN\n1 up RETURN\n";
    EXPECT_TRUE(platform::LoadInputScript(dir.File("ok.txt"), &events, &error)) << error;
    EXPECT_EQ(events.size(), 2u);
}
