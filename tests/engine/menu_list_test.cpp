#include "engine/menu_list.h"

#include "cell_font.h"
#include "engine/font.h"
#include "sprite_test_app.h"

#include <gtest/gtest.h>

#include <gmock/gmock.h>

#include <set>
#include <string>

namespace {

class MenuListTest : public SpriteTestApp {
  protected:
    void SetUp() override {
        SpriteTestApp::SetUp();
        app.presentParams.BackBufferWidth = 800;
        app.presentParams.BackBufferHeight = 601;
        app.ResetClipRect();
        menu = std::make_unique<MenuList>();
    }
    void TearDown() override {
        menu.reset();
        SpriteTestApp::TearDown();
    }
    std::unique_ptr<MenuList> menu;
};

} // namespace

TEST_F(MenuListTest, RowsAreCentredOnTheScreenAndThePointerStartsOnTop) {
    menu->AddItem(7, "Play");
    menu->AddItem(8, nullptr);
    menu->AddItem(9, "Quit");
    // 601 / 2 is 300 in integers; three rows of 30
    EXPECT_FLOAT_EQ(menu->top, 255.0f);
    EXPECT_FLOAT_EQ(menu->bottom, 345.0f);
    EXPECT_FLOAT_EQ(menu->pointerY, 255.0f);
    EXPECT_EQ(menu->count, 3);
    EXPECT_STREQ(menu->labels[1], "");
    // no font in slot 3: the width never shrinks below its start
    EXPECT_FLOAT_EQ(menu->textWidth, 100.0f);
}

TEST_F(MenuListTest, FullListIgnoresRowsAndLongLabelsAreCut) {
    const std::string longLabel(300, 'x');
    menu->AddItem(0, longLabel.c_str());
    EXPECT_EQ(std::string(menu->labels[0]), std::string(127, 'x'));
    for (int32_t i = 1; i < 105; ++i)
        menu->AddItem(i, "row");
    EXPECT_EQ(menu->count, MenuListCapacity);
    EXPECT_EQ(menu->ids[MenuListCapacity - 1], MenuListCapacity - 1);
}

TEST_F(MenuListTest, SpeedThreeMovesOnePixelATickAndWrapsPastTheBottom) {
    menu->AddItem(1, "One");
    const float top = menu->top;
    for (int32_t tick = 1; tick <= 30; ++tick) {
        menu->Tick(3);
        EXPECT_FLOAT_EQ(menu->pointerY, top + static_cast<float>(tick));
    }
    // exactly on the bottom is not past it
    EXPECT_FLOAT_EQ(menu->pointerY, menu->bottom);
    menu->Tick(3);
    EXPECT_FLOAT_EQ(menu->pointerY, top);

    menu->speedFactor = 2.0f;
    menu->Tick(0);
    EXPECT_FLOAT_EQ(menu->pointerY, top + 0.5f);
}

TEST_F(MenuListTest, GapRowsAndRowBoundariesSelectNothing) {
    menu->AddItem(1, "One");
    menu->AddItem(2, "");
    menu->AddItem(3, "Three");
    menu->pointerY = menu->top + 45.0f;
    menu->Select();
    EXPECT_EQ(menu->selected, -1);
    menu->Tick(3);
    EXPECT_FLOAT_EQ(menu->pointerY, menu->top + 46.0f);

    // the pointer on the border between two rows is on neither
    menu->pointerY = menu->top + 60.0f;
    menu->Select();
    EXPECT_EQ(menu->selected, -1);

    menu->pointerY = menu->top + 61.0f;
    menu->Select();
    EXPECT_EQ(menu->selected, 2);
    EXPECT_EQ(menu->ChosenId(), 3);
}

TEST_F(MenuListTest, ChoiceBlinksFortySixTicksWithThePointerStopped) {
    menu->AddItem(4, "Four");
    menu->pointerY = menu->top + 10.0f;
    menu->Select();
    ASSERT_EQ(menu->selected, 0);
    EXPECT_EQ(menu->blinkTimer, 45);
    // a second key press does not restart the blink
    menu->Tick(6);
    menu->Select();
    EXPECT_EQ(menu->blinkTimer, 44);
    for (int32_t tick = 2; tick <= 45; ++tick) {
        EXPECT_FALSE(menu->Finished());
        menu->Tick(6);
    }
    EXPECT_FALSE(menu->Finished());
    menu->Tick(6);
    EXPECT_TRUE(menu->Finished());
    EXPECT_EQ(menu->ChosenId(), 4);
    EXPECT_FLOAT_EQ(menu->pointerY, menu->top + 10.0f);
    for (int32_t tick = 0; tick < 10; ++tick)
        menu->Tick(6);
    EXPECT_EQ(menu->blinkTimer, -1);
}

namespace {

// A font in slot 2 whose glyphs are 10 x 16 pixel cells of a 256-pixel atlas.
class MenuListDrawing : public MenuListTest {
  protected:
    void SetUp() override {
        MenuListTest::SetUp();
        font = MakeCellFont(&device, 16);
        app.fonts[2] = font.get();
    }
    void TearDown() override {
        app.fonts[2] = nullptr;
        font.reset();
        MenuListTest::TearDown();
    }
    std::set<uint32_t> DrawnColours() {
        device.draws.clear();
        menu->Draw();
        std::set<uint32_t> colours;
        for (const auto& draw : device.draws)
            for (const ScreenVertex& v : draw.vertices)
                colours.insert(v.diffuse);
        return colours;
    }
    std::unique_ptr<Font> font;
};

} // namespace

TEST_F(MenuListDrawing, PointerRowIsPinkOthersGreenEachFadingToSevenTenths) {
    menu->AddItem(1, "A");
    menu->AddItem(2, "B");
    menu->pointerY = menu->top + 5.0f;
    EXPECT_THAT(DrawnColours(),
                ::testing::UnorderedElementsAre(0xFFFFC8C8u, 0xB2B28BC8u, 0xFF8CFF64u, 0xB261B264u));
}

TEST_F(MenuListDrawing, ChosenRowBlinksEveryFourTicks) {
    menu->AddItem(1, "A");
    menu->pointerY = menu->top + 5.0f;
    menu->Select();
    // 45 / 4 is odd: lit
    EXPECT_THAT(DrawnColours(), ::testing::UnorderedElementsAre(0xFFFFC8C8u, 0xB2B28BC8u));
    menu->blinkTimer = 43;
    EXPECT_THAT(DrawnColours(), ::testing::UnorderedElementsAre(0xFF282828u, 0xB21B1B28u));
}
