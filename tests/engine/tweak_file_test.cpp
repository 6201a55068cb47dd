#include "engine/tweak_file.h"

#include "engine_test_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const std::string kHeader = "**** Pellmark Game Design Tweak system 1.0\n****\n"
                            "**** This file is read every time the program executes, and\n"
                            "**** is re-written every time the program exits.\n"
                            "**** You can change the behavior of the program by changing this file.\n"
                            "**** Only change the first number after the 'ENTRY' keyword.  This is\n"
                            "**** the floating point value associated with each tweak.\n"
                            "**** The two numbers after that are the suggested minimum and maximum values.\n"
                            "**** The description is for the tweak on the line above the description.\n"
                            "****\n****\n";

struct Seen {
    std::string name;
    float value, minimum, maximum;
    std::string description;
};

class TweakListTest : public EngineTestDir {
  protected:
    std::vector<Seen> LoadText(const std::string& text) {
        WriteFile("tweaks.dat", text);
        list = std::make_unique<TweakList>();
        list->Load("tweaks.dat");
        std::vector<Seen> seen;
        for (DataObject* item = list->entries.First(); item; item = list->entries.Next()) {
            auto* entry = static_cast<TweakEntry*>(item);
            seen.push_back(
                {entry->GetName(), entry->value, entry->minimum, entry->maximum, entry->description});
        }
        return seen;
    }
    std::string SaveText() {
        EXPECT_TRUE(list->Save("tweaks.dat"));
        return ReadFile("tweaks.dat");
    }
    std::unique_ptr<TweakList> list = std::make_unique<TweakList>();
};

} // namespace

TEST_F(TweakListTest, RoundTripRewritesHeaderAndSixDecimals) {
    auto seen = LoadText("ENTRY shipSpeed 2.5 1 10\nhow fast the ship flies\n");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].name, "shipSpeed");
    EXPECT_FLOAT_EQ(seen[0].value, 2.5f);
    EXPECT_EQ(seen[0].description, "how fast the ship flies");
    EXPECT_EQ(SaveText(), kHeader + "ENTRY shipSpeed 2.500000 1.000000 10.000000\nhow fast the ship flies\n");

    // what was written reads back to the same file
    TweakList again;
    again.Load("tweaks.dat");
    EXPECT_TRUE(again.Save("copy.dat"));
    EXPECT_EQ(ReadFile("copy.dat"), ReadFile("tweaks.dat"));
}

TEST_F(TweakListTest, MissingFileGivesEmptyListAndHeaderOnlySave) {
    list->Load("tweaks.dat");
    EXPECT_TRUE(list->entries.IsEmpty());
    EXPECT_EQ(SaveText(), kHeader);
}

TEST_F(TweakListTest, UnwritableFileReportsFailure) {
    MakeDirectory("tweaks.dat");
    EXPECT_FALSE(list->Save("tweaks.dat"));
}

TEST_F(TweakListTest, CommentsSkippedAndEntryPrefixIsEnough) {
    auto seen = LoadText("**** anything at all 1 2 3\nnot an entry\nENTRYX a 1 2 3\n  first\n"
                         "ENTRY a 4 5 6\nsecond\n");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, "a");
    EXPECT_EQ(seen[0].description, "first"); // leading blanks of the line are skipped
    EXPECT_EQ(seen[1].name, "a");            // same name kept, in file order
    EXPECT_FLOAT_EQ(seen[1].value, 4.0f);
    EXPECT_EQ(seen[1].description, "second");
}

TEST_F(TweakListTest, LongDescriptionIsCutAndRestReadAsTokens) {
    const std::string longText = std::string(126, 'd') + "tail ENTRY b 7 8 9";
    auto seen = LoadText("ENTRY a 1 2 3\n" + longText + "\nlater description\n");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].description, std::string(126, 'd'));
    EXPECT_EQ(seen[1].name, "b");
    EXPECT_FLOAT_EQ(seen[1].maximum, 9.0f);
    EXPECT_EQ(seen[1].description, "later description");
}

TEST_F(TweakListTest, EmptyDescriptionKeepsNextEntryIntact) {
    list->entries.Add(new TweakEntry("a"));
    auto* second = new TweakEntry("b");
    second->value = 3.0f;
    std::snprintf(second->description, sizeof second->description, "kept");
    list->entries.Add(second);
    EXPECT_TRUE(list->Save("tweaks.dat"));

    TweakList again;
    again.Load("tweaks.dat");
    ASSERT_EQ(again.entries.Count(), 2);
    auto* first = static_cast<TweakEntry*>(again.entries.First());
    EXPECT_STREQ(first->description, "");
    auto* next = static_cast<TweakEntry*>(again.entries.Next());
    EXPECT_STREQ(next->GetName(), "b");
    EXPECT_FLOAT_EQ(next->value, 3.0f);
    EXPECT_STREQ(next->description, "kept");
}

TEST_F(TweakListTest, EndOfFileCases) {
    // no newline after the description
    auto seen = LoadText("ENTRY a 1 2 3\nlast line");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].description, "last line");

    // no description line at all
    seen = LoadText("ENTRY a 1 2 3");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_FLOAT_EQ(seen[0].maximum, 3.0f);
    EXPECT_EQ(seen[0].description, "");
}

TEST_F(TweakListTest, CrLfLineEndsAreStripped) {
    auto seen = LoadText("ENTRY a 1 2 3\r\nwindows text\r\nENTRY b 4 5 6\r\n\r\nENTRY c 7 8 9\r\nc text\r\n");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].description, "windows text");
    EXPECT_EQ(seen[1].description, "");
    EXPECT_EQ(seen[2].name, "c");
}

TEST_F(TweakListTest, MalformedNumbersStillMakeAnEntry) {
    auto seen = LoadText("ENTRY a 1 oops 3\ndescription\n");
    ASSERT_GE(seen.size(), 1u);
    EXPECT_EQ(seen[0].name, "a");
    EXPECT_FLOAT_EQ(seen[0].value, 1.0f);
    EXPECT_FLOAT_EQ(seen[0].minimum, 0.0f);
}

TEST_F(TweakListTest, HugeTokensAreCutSafely) {
    const std::string huge(100 * 1024, 'x');
    auto seen = LoadText(huge + " ENTRY " + huge + " 1 2 3\n" + huge + "\nENTRY" + huge + " b 4 5 6\nend\n");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].name, std::string(255, 'x')); // names keep 255 characters
    EXPECT_FLOAT_EQ(seen[0].maximum, 3.0f);
    EXPECT_EQ(seen[0].description, std::string(126, 'x'));
    EXPECT_EQ(seen[1].name, "b");
    EXPECT_EQ(seen[1].description, "end");
}
