#include "platform/image/image_decode.h"
#include "platform/image_test_bytes.h"

#include <gtest/gtest.h>

#include <climits>

using image_test::BmpLayout;
using image_test::Bytes;
using image_test::MakeBmp;
using platform::DecodedImage;

namespace {

bool Decode(const Bytes& file, DecodedImage* image) {
    return platform::DecodeBmp(file.data(), file.size(), image);
}

} // namespace

TEST(ImageBmp, TwentyFourBitRowsRunBottomUpOrTopDown) {
    DecodedImage image;
    ASSERT_TRUE(Decode(image_test::SmallBmp(), &image));
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));

    BmpLayout topDown;
    topDown.height = -2;
    topDown.rows = {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0};
    ASSERT_TRUE(Decode(MakeBmp(topDown), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
}

TEST(ImageBmp, ThirtyTwoBitAlphaOnlyWithAnAlphaMask) {
    BmpLayout plain;
    plain.width = 1;
    plain.height = 1;
    plain.bitCount = 32;
    plain.rows = {0x30, 0x20, 0x10, 0x40};
    DecodedImage image;
    ASSERT_TRUE(Decode(MakeBmp(plain), &image));
    EXPECT_EQ(image.argb[0], 0xFF102030u) << "the fourth byte of BI_RGB is reserved";

    BmpLayout withAlpha = plain;
    withAlpha.compression = 3;
    withAlpha.headerSize = 108;
    withAlpha.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    ASSERT_TRUE(Decode(MakeBmp(withAlpha), &image));
    EXPECT_EQ(image.argb[0], 0x40102030u);

    BmpLayout swapped = plain;
    swapped.compression = 3;
    swapped.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
    ASSERT_TRUE(Decode(MakeBmp(swapped), &image));
    EXPECT_EQ(image.argb[0], 0xFF302010u);
}

TEST(ImageBmp, SixteenBitFiveFiveFiveAndFiveSixFive) {
    BmpLayout rgb555;
    rgb555.width = 2;
    rgb555.height = 1;
    rgb555.bitCount = 16;
    rgb555.rows = {0x00, 0x7C, 0x1F, 0x00}; // pure red, pure blue
    DecodedImage image;
    ASSERT_TRUE(Decode(MakeBmp(rgb555), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFFF0000, 0xFF0000FF}));

    BmpLayout rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.rows = {0xE0, 0x07, 0x10, 0x00}; // full green, blue 16 of 31
    ASSERT_TRUE(Decode(MakeBmp(rgb565), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFF00FF00, 0xFF000084}));
}

TEST(ImageBmp, PalettesOfOneFourAndEightBits) {
    BmpLayout eight;
    eight.width = 3;
    eight.height = 1;
    eight.bitCount = 8;
    eight.palette = {0x000000, 0x112233, 0xABCDEF};
    eight.coloursUsed = 3;
    eight.rows = {2, 1, 0, 0};
    DecodedImage image;
    ASSERT_TRUE(Decode(MakeBmp(eight), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFABCDEF, 0xFF112233, 0xFF000000}));

    BmpLayout four = eight;
    four.bitCount = 4;
    four.rows = {0x21, 0x00, 0x00, 0x00}; // leftmost pixel in the high nibble
    ASSERT_TRUE(Decode(MakeBmp(four), &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFFABCDEF, 0xFF112233, 0xFF000000}));

    BmpLayout one;
    one.width = 9;
    one.height = 1;
    one.bitCount = 1;
    one.palette = {0x000000, 0xFFFFFF};
    one.rows = {0b10100000, 0b10000000, 0, 0};
    ASSERT_TRUE(Decode(MakeBmp(one), &image));
    ASSERT_EQ(image.argb.size(), 9u);
    EXPECT_EQ(image.argb[0], 0xFFFFFFFFu);
    EXPECT_EQ(image.argb[1], 0xFF000000u);
    EXPECT_EQ(image.argb[2], 0xFFFFFFFFu);
    EXPECT_EQ(image.argb[8], 0xFFFFFFFFu);
}

TEST(ImageBmp, CoreHeaderWithThreeBytePalette) {
    Bytes file{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 14 + 12 + 6, 0, 0, 0};
    image_test::Put32(&file, 12);
    image_test::Put16(&file, 1);
    image_test::Put16(&file, 1);
    image_test::Put16(&file, 1);
    image_test::Put16(&file, 1);
    file.insert(file.end(), {0, 0, 0, 0x33, 0x22, 0x11});
    file.insert(file.end(), {0x80, 0, 0, 0});
    DecodedImage image;
    ASSERT_TRUE(Decode(file, &image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFF112233}));
}

TEST(ImageBmp, MalformedHeadersFailAndLeaveNothing) {
    const Bytes good = image_test::SmallBmp();
    struct Case {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Case cases[] = {
        {"zero width", 18, 0},
        {"negative width", 18, 0xFFFFFFFF},
        {"zero height", 22, 0},
        {"most negative height", 22, static_cast<uint32_t>(INT32_MIN)},
        {"huge width", 18, 0x7FFFFFFF},
        {"huge height", 22, 0x40000000},
        {"side above the limit", 18, platform::kMaxImageSide + 1},
        {"pixel offset past the end", 10, 1000},
        {"pixel offset inside the header", 10, 20},
        {"pixel offset wraps", 10, 0xFFFFFFF0},
        {"unknown header size", 14, 41},
        {"header larger than the file", 14, 124},
        {"two planes", 26, 0x00180002},
        {"RLE compression", 30, 1},
        {"bit-field compression for 24 bits", 30, 3},
    };
    for (const Case& c : cases) {
        Bytes bad = good;
        image_test::Set32(&bad, c.at, c.value);
        DecodedImage image;
        image.width = 7;
        EXPECT_FALSE(Decode(bad, &image)) << c.what;
        EXPECT_EQ(image.width, 0) << c.what;
        EXPECT_TRUE(image.argb.empty()) << c.what;
    }
}

TEST(ImageBmp, BadPalettesAndMasksFail) {
    BmpLayout eight;
    eight.width = 2;
    eight.height = 1;
    eight.bitCount = 8;
    eight.palette = {0x000000, 0xFFFFFF};
    eight.coloursUsed = 2;
    eight.rows = {1, 2, 0, 0};
    DecodedImage image;
    EXPECT_FALSE(Decode(MakeBmp(eight), &image)) << "index 2 of a two-entry palette";

    eight.rows = {1, 0, 0, 0};
    ASSERT_TRUE(Decode(MakeBmp(eight), &image));
    Bytes tooMany = MakeBmp(eight);
    image_test::Set32(&tooMany, 46, 257);
    EXPECT_FALSE(Decode(tooMany, &image)) << "more colours than 8 bits can index";

    BmpLayout gappy;
    gappy.width = 1;
    gappy.height = 1;
    gappy.bitCount = 32;
    gappy.compression = 3;
    gappy.masks = {0x00F0F000, 0x0000000F, 0x000000F0};
    gappy.rows = {0, 0, 0, 0};
    EXPECT_FALSE(Decode(MakeBmp(gappy), &image)) << "a mask that is not one run of bits";

    BmpLayout wide16 = gappy;
    wide16.bitCount = 16;
    wide16.masks = {0x7C0000, 0x03E0, 0x001F};
    EXPECT_FALSE(Decode(MakeBmp(wide16), &image)) << "a 16-bit mask beyond 16 bits";
}

TEST(ImageBmp, EveryTruncationFails) {
    for (const Bytes& file : {image_test::SmallBmp(), [] {
                                  BmpLayout eight;
                                  eight.width = 3;
                                  eight.height = 2;
                                  eight.bitCount = 8;
                                  eight.palette = {0x102030, 0x405060};
                                  eight.coloursUsed = 2;
                                  eight.rows = {0, 1, 0, 0, 1, 0, 1, 0};
                                  return MakeBmp(eight);
                              }()}) {
        DecodedImage image;
        ASSERT_TRUE(Decode(file, &image));
        for (size_t length = 0; length < file.size(); ++length) {
            const Bytes cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
            EXPECT_FALSE(Decode(cut, &image)) << "length " << length;
            EXPECT_TRUE(image.argb.empty());
        }
    }
}
