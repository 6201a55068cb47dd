#include "platform/image/image_decode.h"
#include "platform/image_test_bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

using platform::DecodedImage;

namespace {

std::string WriteTemporary(const char* name, const image_test::Bytes& bytes) {
    const std::string path = (std::filesystem::temp_directory_path() / name).string();
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!bytes.empty()) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
    }
    std::fclose(file);
    return path;
}

} // namespace

TEST(ImageDecode, SignatureDecidesTheFormatNotTheName) {
    const std::string bmpNamedPng = WriteTemporary("backfire_image_decode_test.png", image_test::SmallBmp());
    DecodedImage image;
    ASSERT_TRUE(platform::DecodeImage(bmpNamedPng, &image));
    EXPECT_EQ(image.argb[0], 0xFFFF0000u);

    const std::string pngNamedBmp =
        WriteTemporary("backfire_image_decode_test.bmp", image_test::SmallRgbaPng());
    ASSERT_TRUE(platform::DecodeImage(pngNamedBmp, &image));
    EXPECT_EQ(image.width, 3);
    std::remove(bmpNamedPng.c_str());
    std::remove(pngNamedBmp.c_str());

    const image_test::Bytes png = image_test::SmallRgbaPng();
    EXPECT_EQ(platform::DetectImageFormat(png.data(), png.size()), platform::ImageFormat::Png);
    EXPECT_EQ(platform::DetectImageFormat(png.data(), 7), platform::ImageFormat::Unknown);
}

TEST(ImageDecode, FailuresClearThePreviousResult) {
    DecodedImage image;
    ASSERT_TRUE(
        platform::DecodeImageMemory(image_test::SmallBmp().data(), image_test::SmallBmp().size(), &image));
    const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0};
    EXPECT_FALSE(platform::DecodeImageMemory(gif, sizeof gif, &image));
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
    EXPECT_TRUE(image.argb.empty());

    EXPECT_FALSE(platform::DecodeImageMemory(nullptr, 10, &image));
    EXPECT_FALSE(platform::DecodeImageMemory(gif, 0, &image));
    EXPECT_FALSE(platform::DecodeImage("/nonexistent/backfire/none.png", &image));
    const std::string empty = WriteTemporary("backfire_image_decode_empty.png", {});
    EXPECT_FALSE(platform::DecodeImage(empty, &image));
    std::remove(empty.c_str());
}
