#include "platform/image/image_decode.h"
#include "platform/image/png_writer.h"

#include "platform/window_recorder.h"

#include <gtest/gtest.h>

TEST(PngWriter, RoundTripKeepsEveryChannelIncludingAlpha) {
    platform_test::TempDirectory dir;
    const uint32_t pixels[4] = {0x80FF0000u, 0xFF00FF00u, 0x000000FFu, 0x7F123456u};
    ASSERT_TRUE(platform::WritePng(dir.File("a.png"), pixels, 2, 2));
    platform::DecodedImage image;
    ASSERT_TRUE(platform::DecodeImage(dir.File("a.png"), &image));
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 2);
    EXPECT_EQ(image.argb, std::vector<uint32_t>(pixels, pixels + 4));
}

TEST(PngWriter, FailuresReportFalseAndLeaveNoFile) {
    platform_test::TempDirectory dir;
    const uint32_t pixel = 0xFFFFFFFFu;
    EXPECT_FALSE(platform::WritePng(dir.File("none/a.png"), &pixel, 1, 1));
    EXPECT_FALSE(platform::WritePng(dir.File("b.png"), nullptr, 1, 1));
    EXPECT_FALSE(platform::WritePng(dir.File("b.png"), &pixel, 0, 1));
    EXPECT_FALSE(platform::WritePng(dir.File("b.png"), &pixel, 1, -1));
    EXPECT_FALSE(std::filesystem::exists(dir.File("b.png")));
}
