#include "engine/font.h"

#include "golden_scene.h"

#include <memory>

namespace {

constexpr uint32_t kBackground = 0xFF102040u;

class TextGolden : public GoldenScene {
  protected:
    Font& MakeFont(int32_t size) {
        font = std::make_unique<Font>("Verdana", size, 0);
        EXPECT_EQ(font->CreateDeviceObjects(device), 0);
        EXPECT_EQ(font->RestoreDeviceObjects(), 0);
        return *font;
    }
    void TearDown() override {
        if (font) {
            font->InvalidateDeviceObjects();
            font->DeleteDeviceObjects();
        }
        GoldenScene::TearDown();
    }
    // The text box, outlined in grey so the alignment can be seen.
    void Frame(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        app.DrawTextureRect(nullptr, left - 1, top - 1, right + 1, bottom + 1, 0xFF606060u);
        app.DrawTextureRect(nullptr, left, top, right, bottom, 0xFF102040u);
    }
    std::unique_ptr<Font> font;
};

} // namespace

TEST_F(TextGolden, LeftAligned) {
    Start(160, 40, kBackground);
    Frame(8, 8, 152, 32);
    MakeFont(12).DrawText(8, 8, 152, 32, nullptr, 0xFFFFFFFFu, "Backfire 0123", 0);
    ExpectMatchesGolden("text_left");
}

TEST_F(TextGolden, CentredBothWays) {
    Start(160, 40, kBackground);
    Frame(8, 4, 152, 36);
    MakeFont(12).DrawText(8, 4, 152, 36, nullptr, 0xFFFFFF00u, "Centred", FontCentred | FontCentredVertical);
    ExpectMatchesGolden("text_centred");
}

TEST_F(TextGolden, RightAligned) {
    Start(160, 40, kBackground);
    Frame(8, 8, 152, 32);
    MakeFont(12).DrawText(8, 8, 152, 32, nullptr, 0xFF80FF80u, "Score 42", FontRightAligned);
    ExpectMatchesGolden("text_right");
}

TEST_F(TextGolden, TwoCentredLinesStartTogether) {
    Start(160, 48, kBackground);
    Frame(4, 4, 156, 44);
    MakeFont(12).DrawText(4, 4, 156, 44, nullptr, 0xFFFFFFFFu, "Fire\nHold SPACE", FontCentred);
    ExpectMatchesGolden("text_two_lines");
}

TEST_F(TextGolden, ClippedToTheClipRectangle) {
    Start(160, 40, kBackground);
    Frame(45, 8, 105, 32);
    const RECT clip{45, 0, 105, 40};
    // wider than its box, so it starts left of it; the clip rectangle, narrower
    // than the box, cuts the glyphs at both sides
    MakeFont(16).DrawText(20, 8, 140, 32, &clip, 0xFFFFFFFFu, "Clipped on both sides", FontCentred);
    ExpectMatchesGolden("text_clipped");
}

TEST_F(TextGolden, GradientFromWhiteToGrey) {
    Start(200, 48, kBackground);
    MakeFont(30).DrawText(0, 0, 200, 48, nullptr, 0xFFFFFFFFu, "Gradient", FontCentred | FontCentredVertical,
                          0xFF808080u);
    ExpectMatchesGolden("text_gradient");
}
