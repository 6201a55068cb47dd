// Inputs found by fuzzing the tweak file reader.
#include "engine/tweak_file.h"

#include "engine_test_dir.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TweakFileFuzzTest : public EngineTestDir {};

std::string LoadAndSave(const char* from, const char* to) {
    TweakList list;
    list.Load(from);
    EXPECT_TRUE(list.Save(to));
    return ReadFile(to);
}

} // namespace

// A name token made of NUL bytes reads as an empty name. Written back, the
// entry line "ENTRY  0.000000 ..." would make the first number the name and
// shift every field after it, so the file no longer read as itself.
TEST_F(TweakFileFuzzTest, EntryWhoseNameReadsEmptyIsDroppedAndTheRestSurvives) {
    static const char bytes[] = "ENTRYol\v\0\0\0"
                                "1 0 2\ndddd\nENTRY next 1 2 3\nnext one\n";
    WriteFile("tweaks.dat", std::string(bytes, sizeof bytes - 1));
    TweakList list;
    list.Load("tweaks.dat");
    ASSERT_EQ(list.entries.Count(), 1);
    auto* entry = static_cast<TweakEntry*>(list.entries.First());
    EXPECT_STREQ(entry->GetName(), "next");
    EXPECT_EQ(entry->value, 1.0f);
    EXPECT_STREQ(entry->description, "next one");

    const std::string first = LoadAndSave("tweaks.dat", "first.dat");
    EXPECT_EQ(LoadAndSave("first.dat", "second.dat"), first);
}
