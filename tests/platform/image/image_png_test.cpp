#include "platform/image/image_decode.h"
#include "platform/image_test_bytes.h"

#include <gtest/gtest.h>

using image_test::Bytes;
using image_test::MakePng;
using platform::DecodedImage;

namespace {

bool Decode(const Bytes& file, DecodedImage* image) {
    return platform::DecodePng(file.data(), file.size(), image);
}

} // namespace

TEST(ImagePng, RgbaKeepsAlphaAndRowOrder) {
    DecodedImage image;
    ASSERT_TRUE(Decode(image_test::SmallRgbaPng(), &image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF, 0x00000000,
                                                 0xFF5A5A5A}));
}

TEST(ImagePng, EveryColourTypeBecomesArgb) {
    DecodedImage image;
    ASSERT_TRUE(Decode(MakePng(2, 1, 8, 2, {1, 2, 3, 4, 5, 6}), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFF010203, 0xFF040506})) << "RGB";

    ASSERT_TRUE(Decode(MakePng(2, 1, 16, 2, {0xAB, 0, 0xCD, 0, 0xEF, 0, 0, 0, 0, 0, 0xFF, 0xFF}), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFABCDEF, 0xFF0000FF})) << "16-bit RGB";

    ASSERT_TRUE(Decode(MakePng(3, 1, 1, 0, {0b10100000}), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF})) << "1-bit grey";

    ASSERT_TRUE(Decode(MakePng(1, 1, 16, 4, {0x40, 0x00, 0x80, 0x00}), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0x80404040})) << "16-bit grey with alpha";

    ASSERT_TRUE(Decode(
        MakePng(3, 1, 2, 3, {0b00011000}, {{"PLTE", {9, 8, 7, 200, 100, 50, 1, 2, 3}}, {"tRNS", {0, 77}}}),
        &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0x00090807, 0x4DC86432, 0xFF010203}))
        << "2-bit palette, transparency for the first two entries only";

    ASSERT_TRUE(
        Decode(MakePng(2, 1, 8, 2, {10, 20, 30, 1, 2, 3}, {{"tRNS", {0, 10, 0, 20, 0, 30}}}), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0x000A141E, 0xFF010203})) << "RGB with a transparent colour";
}

TEST(ImagePng, MalformedFilesFail) {
    DecodedImage image;
    Bytes badCrc = image_test::SmallRgbaPng();
    badCrc[29] ^= 1; // last byte of the IHDR checksum
    EXPECT_FALSE(Decode(badCrc, &image));

    EXPECT_FALSE(Decode(MakePng(0, 1, 8, 6, {}), &image)) << "zero width";
    EXPECT_FALSE(Decode(MakePng(1, 0, 8, 6, {}), &image)) << "zero height";
    EXPECT_FALSE(Decode(MakePng(platform::kMaxImageSide + 1, 1, 1, 0, Bytes(2049, 0)), &image)) << "too wide";
    EXPECT_FALSE(Decode(MakePng(8192, 16384, 1, 0, {}), &image)) << "too many pixels, and no data";
    EXPECT_FALSE(Decode(MakePng(2, 2, 8, 6, Bytes(8, 0xFF)), &image)) << "half the image data";
    EXPECT_FALSE(Decode(MakePng(2, 1, 8, 3, {0, 1}, {{"PLTE", {1, 2, 3}}}), &image))
        << "index beyond the palette";
    EXPECT_FALSE(Decode(MakePng(1, 1, 8, 3, {0}), &image)) << "palette image without a palette";
    EXPECT_FALSE(Decode(MakePng(1, 1, 7, 2, {0, 0, 0}), &image)) << "bit depth 7";
    EXPECT_TRUE(image.argb.empty());
    EXPECT_EQ(image.width, 0);
}

TEST(ImagePng, ChunkLongerThanTheFileFailsBeforeAllocating) {
    // Found by fuzzing: a text chunk claiming nearly 2 GB made libpng allocate
    // that much before noticing the file ends.
    Bytes file = MakePng(1, 1, 8, 0, {7}, {{"tEXt", {'k', 0, 'v'}}});
    const size_t text = 33;
    ASSERT_EQ(std::string(file.begin() + text + 4, file.begin() + text + 8), "tEXt");
    DecodedImage image;
    ASSERT_TRUE(Decode(file, &image));
    for (uint32_t claimed : {0x77000025u, 0x7FFFFFFFu, 0xFFFFFFFFu, 4u}) {
        Bytes bad = file;
        for (int i = 0; i < 4; ++i) {
            bad[text + i] = static_cast<uint8_t>(claimed >> (24 - 8 * i));
        }
        EXPECT_FALSE(Decode(bad, &image)) << claimed;
    }
}

TEST(ImagePng, EveryTruncationFails) {
    const Bytes file = image_test::SmallRgbaPng();
    DecodedImage image;
    for (size_t length = 0; length < file.size(); ++length) {
        const Bytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_FALSE(Decode(cut, &image)) << "length " << length;
        EXPECT_TRUE(image.argb.empty());
    }
}
