// The generated pictures: every name the game opens decodes through the
// platform decoder with the size the game relies on, and the art keeps the
// properties the drawing code depends on (opaque backdrops, filled and
// symmetric hulls, key colours, particle textures centred where a particle
// maps them).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "asset_test_files.h"
#include "platform/image/image_decode.h"

using namespace asset_test;

namespace {

class AssetImages : public InBuildDir {
  protected:
    static platform::DecodedImage Load(const std::string& name) {
        platform::DecodedImage image;
        EXPECT_TRUE(platform::DecodeImage(Resolve(name), &image)) << name;
        return image;
    }
};

uint32_t Alpha(uint32_t argb) {
    return argb >> 24;
}
uint32_t Brightest(uint32_t argb) {
    return std::max({(argb >> 16) & 255, (argb >> 8) & 255, argb & 255});
}

// The box of texels the alpha test keeps (alpha 8 and above).
struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
};
Box KeptBox(const platform::DecodedImage& image) {
    Box box;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (Alpha(image.argb[size_t(y * image.width + x)]) >= 8) {
                box.left = std::min(box.left, x), box.right = std::max(box.right, x);
                box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Mean difference of alpha between each texel and its mirror image, 0..255.
double MirrorAlphaDifference(const platform::DecodedImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            sum += std::abs(int(Alpha(image.argb[size_t(y * image.width + x)])) -
                            int(Alpha(image.argb[size_t(y * image.width + image.width - 1 - x)])));
    return sum / double(image.width * image.height);
}

void ExpectFilledSymmetricHull(const std::string& name, const platform::DecodedImage& image) {
    Box box = KeptBox(image);
    ASSERT_GE(box.right, 0) << name << " is empty";
    EXPECT_GE(box.right - box.left + 1, image.width * 3 / 4) << name << " leaves its hit box half empty";
    EXPECT_GE(box.bottom - box.top + 1, image.height * 3 / 4) << name;
    EXPECT_LT(MirrorAlphaDifference(image), 3.0) << name << " is not symmetric about the vertical axis";
    EXPECT_LT(Alpha(image.argb[0]), 8u) << name << " has an opaque corner";
}

} // namespace

TEST_F(AssetImages, BackdropsAreOpaqueDark256Squares) {
    for (const std::string& name : BackdropNames()) {
        platform::DecodedImage image = Load(name);
        ASSERT_EQ(image.width, 256) << name;
        ASSERT_EQ(image.height, 256) << name;
        size_t dark = 0;
        for (uint32_t argb : image.argb) {
            ASSERT_EQ(Alpha(argb), 255u) << name << " must be opaque";
            dark += Brightest(argb) < 64;
        }
        EXPECT_GT(dark, image.argb.size() * 6 / 10) << name << " is too bright to read ships over";
    }
}

TEST_F(AssetImages, TilesAreMostlyBlackWithSomeStructure) {
    for (const std::string& name : TileNames()) {
        platform::DecodedImage image = Load(name);
        ASSERT_EQ(image.width, 256) << name;
        ASSERT_EQ(image.height, 256) << name;
        double mean = 0;
        uint32_t peak = 0;
        for (uint32_t argb : image.argb) {
            mean += Brightest(argb);
            peak = std::max(peak, Brightest(argb));
        }
        mean /= double(image.argb.size());
        EXPECT_LT(mean, 40.0) << name << " would wash out the backdrop when added";
        EXPECT_GT(peak, 40u) << name << " adds nothing visible";
    }
}

TEST_F(AssetImages, PlayerShipsFillTheir48PixelBoxSymmetrically) {
    for (const std::string& name : ShipNames()) {
        platform::DecodedImage image = Load(name);
        ASSERT_EQ(image.width, 48) << name;
        ASSERT_EQ(image.height, 48) << name;
        ExpectFilledSymmetricHull(name, image);
    }
}

TEST_F(AssetImages, ShipsDifferFromEachOther) {
    std::vector<std::vector<uint32_t>> seen;
    for (const std::string& name : ShipNames()) {
        platform::DecodedImage image = Load(name);
        for (const auto& other : seen)
            EXPECT_NE(image.argb, other) << name << " repeats another ship";
        seen.push_back(image.argb);
    }
}

TEST_F(AssetImages, EnemiesGrowFromAbout32To64PixelsAcrossTheSets) {
    std::vector<std::string> names = EnemyNames();
    ASSERT_EQ(names.size(), 96u);
    double previousMean = 0;
    for (size_t set = 0; set < 16; ++set) {
        double mean = 0;
        for (size_t member = 0; member < 6; ++member) {
            const std::string& name = names[set * 6 + member];
            platform::DecodedImage image = Load(name);
            ASSERT_GE(image.width, 28) << name;
            ASSERT_LE(image.width, 64) << name;
            ExpectFilledSymmetricHull(name, image);
            mean += (image.width + image.height) / 12.0;
        }
        EXPECT_GE(mean, previousMean) << "set " << set << " is smaller than the one before";
        previousMean = mean;
        if (set == 0) {
            EXPECT_LE(mean, 36.0);
        }
        if (set == 15) {
            EXPECT_GE(mean, 60.0);
        }
    }
}

TEST_F(AssetImages, EffectAndScreenArtHasUsableSizes) {
    for (const std::string& name : OtherImageNames()) {
        platform::DecodedImage image = Load(name);
        EXPECT_GE(image.width, 2) << name;
        EXPECT_GE(image.height, 2) << name;
    }
    for (const std::string& name : ExplosionNames()) {
        platform::DecodedImage image = Load(name);
        EXPECT_NEAR(image.width, 120, 16) << name;
        EXPECT_NEAR(image.height, 120, 16) << name;
    }
    struct Size {
        const char* name;
        int width, height;
    };
    for (Size s : {Size{"dat\\meter.png", 256, 64}, Size{"dat\\smoke128.png", 128, 128}}) {
        platform::DecodedImage image = Load(s.name);
        EXPECT_EQ(image.width, s.width) << s.name;
        EXPECT_EQ(image.height, s.height) << s.name;
    }
    // The cone's picture should match its 179.2 x 22.4 hit box at scale 1.
    platform::DecodedImage cone = Load("dat\\cone2.png");
    EXPECT_NEAR(cone.width, 180, 10);
    EXPECT_NEAR(cone.height, 22, 4);
}

TEST_F(AssetImages, ExplosionBurnsOutByTheLastFrame) {
    std::vector<std::string> names = ExplosionNames();
    auto energy = [&](const std::string& name) {
        platform::DecodedImage image = Load(name);
        double sum = 0;
        for (uint32_t argb : image.argb)
            sum += Brightest(argb);
        return sum / double(image.argb.size());
    };
    double middle = energy(names[7]), last = energy(names.back());
    EXPECT_GT(middle, 5.0);
    EXPECT_GT(middle, last);
    EXPECT_LT(last, 1.0) << "the last frame must fade to nothing";
    platform::DecodedImage frame = Load(names.front());
    EXPECT_EQ(frame.argb[0] & 0xFFFFFF, 0u) << "explosions sit on black, which adds nothing";
    uint32_t centre = frame.argb[size_t(frame.height / 2 * frame.width + frame.width / 2)];
    EXPECT_GE(Brightest(centre), 230u) << "the first frame starts with a white-hot core";
}

TEST_F(AssetImages, PointersUseTheirKeyColours) {
    platform::DecodedImage mouse = Load("dat\\mouseart.png");
    const uint32_t magenta = 0xFFFF00FF;
    EXPECT_EQ(mouse.argb[mouse.argb.size() - 1], magenta);
    size_t drawn = 0;
    for (uint32_t argb : mouse.argb) {
        // No blend of the pointer with the key: that would leave a pink fringe.
        bool allowed = argb == magenta || argb == 0xFF000000 || argb == 0xFFFFFFFF;
        EXPECT_TRUE(allowed) << std::hex << argb;
        drawn += argb != magenta;
    }
    EXPECT_GT(drawn, 40u);
    EXPECT_NE(mouse.argb[0], magenta) << "the pointer's tip is its top-left texel";

    platform::DecodedImage menu = Load("dat\\mouse000004.bmp");
    EXPECT_EQ(menu.argb[0] & 0xFFFFFF, 0u) << "the menu pointer is keyed on black";
    // Pointing left: its leftmost lit column holds the tip, near the middle row.
    int tipX = menu.width, tipY = 0;
    for (int y = 0; y < menu.height; ++y)
        for (int x = 0; x < menu.width; ++x)
            if ((menu.argb[size_t(y * menu.width + x)] & 0xFFFFFF) != 0 && x < tipX)
                tipX = x, tipY = y;
    EXPECT_LT(tipX, menu.width / 4);
    EXPECT_NEAR(tipY, menu.height / 2, menu.height / 6);
}

TEST_F(AssetImages, ParticleTexturesCentreWhereTheParticleSits) {
    // A particle's triangle maps texture point (0.25, 0.25) onto the particle.
    for (const char* name : {"dat\\flare-white.bmp", "dat\\smoke128.png", "dat\\asteroidBit.png"}) {
        platform::DecodedImage image = Load(name);
        // Pictures with alpha are weighed by coverage, opaque ones by light.
        bool opaque =
            std::all_of(image.argb.begin(), image.argb.end(), [](uint32_t c) { return Alpha(c) == 255; });
        double sx = 0, sy = 0, total = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                uint32_t argb = image.argb[size_t(y * image.width + x)];
                double weight = opaque ? double(Brightest(argb)) : double(Alpha(argb));
                sx += weight * (x + 0.5), sy += weight * (y + 0.5), total += weight;
            }
        ASSERT_GT(total, 0) << name;
        EXPECT_NEAR(sx / total / image.width, 0.25, 0.03) << name;
        EXPECT_NEAR(sy / total / image.height, 0.25, 0.03) << name;
    }
}

TEST_F(AssetImages, BmpFilesAreUncompressed24BitWindowsBitmaps) {
    std::vector<std::string> names = ExplosionNames();
    names.insert(names.end(), {"dat\\flare-white.bmp", "dat\\flare-white-full.bmp", "dat\\mouse000004.bmp"});
    for (const std::string& name : names) {
        std::vector<uint8_t> bytes = ReadBytes(name);
        ASSERT_GE(bytes.size(), 54u) << name;
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Le32(&bytes[2]), bytes.size()) << name;
        EXPECT_EQ(Le32(&bytes[14]), 40u) << name;
        EXPECT_EQ(Le16(&bytes[28]), 24u) << name;
        EXPECT_EQ(Le32(&bytes[30]), 0u) << name << " must not be compressed";
    }
}

TEST_F(AssetImages, LetteringFillsItsBannerAndTheEmblemsAreDrawn) {
    // Lettering that failed to render would leave an empty picture.
    for (const char* name : {"dat\\titleWordB.png", "dat\\missionOver.png", "dat\\missionComplete.png",
                             "dat\\missionExcelled.png", "dat\\bonusSniper.png", "dat\\bonusXenocide.png",
                             "dat\\bonusKiller.png", "dat\\bonusHunter.png", "dat\\bonusManiac.png",
                             "dat\\WX-logo1.png", "dat\\TJ-logo1.png", "dat\\PMK-logo1.png"}) {
        platform::DecodedImage image = Load(name);
        Box box = KeptBox(image);
        EXPECT_GE(box.right - box.left + 1, image.width / 2) << name;
        size_t solid =
            std::count_if(image.argb.begin(), image.argb.end(), [](uint32_t c) { return Alpha(c) > 200; });
        EXPECT_GT(solid, image.argb.size() / 20) << name << " has almost nothing solid in it";
        EXPECT_LT(Alpha(image.argb[0]), 8u) << name << " should sit on a transparent surround";
    }
}

TEST_F(AssetImages, MembersOfAnEnemyFamilyDifferInOutline) {
    std::vector<std::string> names = EnemyNames();
    for (size_t set = 0; set < 16; ++set)
        for (size_t a = 0; a < 6; ++a)
            for (size_t b = a + 1; b < 6; ++b) {
                platform::DecodedImage x = Load(names[set * 6 + a]), y = Load(names[set * 6 + b]);
                EXPECT_FALSE(x.width == y.width && x.argb == y.argb)
                    << names[set * 6 + a] << " and " << names[set * 6 + b] << " are the same picture";
            }
}
