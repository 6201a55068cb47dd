#include <gtest/gtest.h>

#include "core/main_loop.h"

namespace {

struct Options {
    int32_t windowed;
    int32_t width;
    int32_t height;
};

Options Parse(const char* text) {
    WindowedOption = 0;
    ScreenWidthOption = 800;
    ScreenHeightOption = 600;
    ParseCommandLine(text);
    return Options{WindowedOption, ScreenWidthOption, ScreenHeightOption};
}

void ExpectOptions(const char* text, int32_t windowed, int32_t width, int32_t height) {
    const Options o = Parse(text);
    EXPECT_EQ(o.windowed, windowed) << '"' << text << '"';
    EXPECT_EQ(o.width, width) << '"' << text << '"';
    EXPECT_EQ(o.height, height) << '"' << text << '"';
}

} // namespace

TEST(CommandLine, SeparateWordsSetEachOption) {
    ExpectOptions("-w -z", 1, 1024, 768);
    ExpectOptions("/Z", 0, 1024, 768);
    ExpectOptions("-W  \t -X", 1, 800, 600);
    ExpectOptions("-z -x", 0, 800, 600);
}

TEST(CommandLine, RestOfAWordIsSkippedAfterAnOption) {
    ExpectOptions("/W/Z", 1, 800, 600);
    ExpectOptions("-window", 1, 800, 600);
}

TEST(CommandLine, EmptyAndOtherTextGiveFullScreenDefaults) {
    ExpectOptions("", 0, 800, 600);
    ExpectOptions(nullptr, 0, 800, 600);
    ExpectOptions("-X", 0, 800, 600);
    ExpectOptions("hello wz -q -", 0, 800, 600);
    ExpectOptions("--w", 0, 800, 600);
    ExpectOptions("x-z", 0, 1024, 768);
}
