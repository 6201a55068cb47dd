#include "engine/ui_window.h"

#include "cell_font.h"
#include "core/input_event.h"
#include "sprite_test_app.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <tuple>
#include <vector>

using ::testing::ElementsAre;

namespace {

constexpr int32_t Up = 0x26;
constexpr int32_t Down = 0x28;

using Call = std::tuple<int32_t, int32_t, int32_t>;

// A callback that records (event, x, y) and answers `result`.
PaneCallback Recorder(std::vector<Call>* calls, int32_t result = 1) {
    return [calls, result](Pane*, int32_t event, int32_t x, int32_t y) {
        calls->emplace_back(event, x, y);
        return result;
    };
}

// A root window with `count` buttons stacked 20 pixels apart from (10, 10).
struct ButtonColumn {
    Window root{0, 0, 0, 200, 200, "WINDOW"};
    std::vector<TextButton*> buttons;
    explicit ButtonColumn(int32_t count) {
        for (int32_t i = 0; i < count; ++i) {
            buttons.push_back(new TextButton(0, 10, 10 + 20 * i, 90, 30 + 20 * i, "BUTTON"));
            root.AddChild(buttons.back());
        }
    }
    std::vector<bool> Highlights() const {
        std::vector<bool> out;
        for (const TextButton* b : buttons)
            out.push_back(b->highlighted);
        return out;
    }
};

} // namespace

TEST(PaneRect, MinusTwoRepeatsLastRectAndOffsetStepsFromIt) {
    Pane first(0, 10, 20, 110, 60, "PANE");
    Pane same(0, SameAsLastRect, SameAsLastRect, SameAsLastRect, SameAsLastRect, "PANE");
    EXPECT_EQ(same.rect.left, 10);
    EXPECT_EQ(same.rect.top, 20);
    EXPECT_EQ(same.rect.right, 110);
    EXPECT_EQ(same.rect.bottom, 60);

    OffsetLastRect(0, 1);
    Pane below(0, -2, -2, -2, -2, "PANE");
    EXPECT_EQ(below.rect.top, 60);
    EXPECT_EQ(below.rect.bottom, 100);

    // one coordinate given, the rest repeated; negative offsets move back
    OffsetLastRect(-1, -1);
    Pane mixed(0, -2, -2, 5, -2, "PANE");
    EXPECT_EQ(mixed.rect.left, -90);
    EXPECT_EQ(mixed.rect.top, 20);
    EXPECT_EQ(mixed.rect.right, 5);
    EXPECT_EQ(LastRect.right, 5);
}

TEST(PaneHitTest, EdgesAreInsideAndOnePastIsOutside) {
    Pane pane(0, 10, 20, 30, 40, "PANE");
    EXPECT_TRUE(pane.HitTest(10, 20));
    EXPECT_TRUE(pane.HitTest(30, 40));
    EXPECT_FALSE(pane.HitTest(9, 30));
    EXPECT_FALSE(pane.HitTest(31, 30));
    EXPECT_FALSE(pane.HitTest(20, 19));
    EXPECT_FALSE(pane.HitTest(20, 41));
}

TEST(PaneChildren, OnlyTheFirstChildStartsHighlightedAndEachKnowsItsParent) {
    ButtonColumn column(3);
    EXPECT_THAT(column.Highlights(), ElementsAre(true, false, false));
    EXPECT_EQ(column.buttons[2]->parent, &column.root);
    EXPECT_EQ(column.root.children.Count(), 3);
}

TEST(PaneHover, HighlightFollowsThePointerAndEachChildHearsItOnce) {
    ButtonColumn column(3);
    std::vector<Call> calls;
    for (TextButton* b : column.buttons)
        b->callback = Recorder(&calls, 0);

    column.root.HandleEvent(PaneHover, 50, 55);
    EXPECT_THAT(column.Highlights(), ElementsAre(false, false, true));
    // siblings are re-walked while the parent offers the event: no repeats
    EXPECT_THAT(calls, ElementsAre(Call{PaneHover, 50, 55}));

    column.root.HandleEvent(PaneHover, 150, 150);
    EXPECT_THAT(column.Highlights(), ElementsAre(false, false, false));
}

TEST(TextButton, PressDragOutAndBackInThenReleaseCallsBackWithRelease) {
    ButtonColumn column(1);
    TextButton* button = column.buttons[0];
    std::vector<Call> calls;
    button->callback = Recorder(&calls, 0);

    column.root.HandleEvent(PaneLeftDown, 20, 20);
    EXPECT_TRUE(button->pressed);
    EXPECT_EQ(CapturedPane, button);

    column.root.HandleEvent(PaneHover, 150, 150);
    EXPECT_FALSE(button->pressed);
    EXPECT_FALSE(button->highlighted);

    column.root.HandleEvent(PaneHover, 20, 20);
    EXPECT_TRUE(button->pressed);
    EXPECT_TRUE(button->highlighted);

    column.root.HandleEvent(PaneLeftUp, 20, 20);
    EXPECT_FALSE(button->pressed);
    EXPECT_EQ(CapturedPane, nullptr);
    EXPECT_THAT(calls,
                ElementsAre(Call{PaneLeftDown, 20, 20}, Call{PaneHover, 20, 20}, Call{PaneLeftUp, 20, 20}));
}

TEST(TextButton, ReleaseOutsideEndsTheCaptureSoHoverDoesNotSinkIt) {
    TextButton button(0, 10, 10, 90, 30, "BUTTON");
    std::vector<Call> calls;
    button.callback = Recorder(&calls);
    EXPECT_EQ(button.HandleEvent(PaneLeftDown, 20, 20), 1);
    EXPECT_EQ(button.HandleEvent(PaneLeftUp, 150, 150), 0);
    EXPECT_EQ(CapturedPane, nullptr);
    button.HandleEvent(PaneHover, 20, 20);
    EXPECT_FALSE(button.pressed);
    // right button and characters are not a push button's business
    EXPECT_EQ(button.HandleEvent(PaneRightDown, 20, 20), 0);
    EXPECT_EQ(button.HandleEvent(PaneCharacter, 0, 'a'), 0);
    EXPECT_EQ(calls.size(), 2u);
}

TEST(WindowArrowKeys, DownAlwaysLeavesTheFirstChildAndUpWrapsToTheLast) {
    ButtonColumn column(3);
    EXPECT_EQ(column.root.HandleEvent(PaneKeyDown, 0, Down), 1);
    EXPECT_THAT(column.Highlights(), ElementsAre(false, true, false));
    // the first child acts on the arrows, so a second press changes nothing
    column.root.HandleEvent(PaneKeyDown, 0, Down);
    EXPECT_THAT(column.Highlights(), ElementsAre(false, true, false));

    ButtonColumn fresh(3);
    fresh.root.HandleEvent(PaneKeyDown, 0, Up);
    EXPECT_THAT(fresh.Highlights(), ElementsAre(false, false, true));

    ButtonColumn lone(1);
    lone.root.HandleEvent(PaneKeyDown, 0, Down);
    EXPECT_THAT(lone.Highlights(), ElementsAre(true));
}

TEST(ArtTextButton, GhostsStartOnlyWhenTheButtonBecomesHighlighted) {
    Window root(0, 0, 0, 200, 200, "WINDOW");
    ArtTextButton* first = new ArtTextButton(0, 10, 10, 90, 30, "ARTTEXTBUTTON");
    ArtTextButton* second = new ArtTextButton(0, 10, 30, 90, 50, "ARTTEXTBUTTON");
    root.AddChild(first);
    root.AddChild(second);
    EXPECT_EQ(first->ghostCounter, 40);

    root.HandleEvent(PaneHover, 20, 40);
    EXPECT_EQ(second->ghostCounter, 0);
    second->ghostCounter = 7;
    root.HandleEvent(PaneHover, 20, 41);
    EXPECT_EQ(second->ghostCounter, 7);

    // leaving drops the highlight and the next entry starts the ghosts again
    root.HandleEvent(PaneHover, 150, 150);
    EXPECT_FALSE(second->highlighted);
    root.HandleEvent(PaneHover, 20, 40);
    EXPECT_EQ(second->ghostCounter, 0);
}

TEST(OfferInputEvent, KeyReleaseSendsItsCharacterAfterTheKeyCode) {
    Pane root(0, 0, 0, 100, 100, "PANE");
    std::vector<Call> calls;
    root.callback = Recorder(&calls, 0);
    InputEvent release(InputKeyUp, "KEY UP");
    release.keyCode = 0x41;
    release.character = 'a';
    OfferInputEvent(&root, &release);
    InputEvent press(InputLeftDown, "LMB DOWN");
    press.x = 5;
    press.y = 6;
    OfferInputEvent(&root, &press);
    InputEvent motion(InputMouseDelta, "MOUSE_DELTA");
    EXPECT_EQ(OfferInputEvent(&root, &motion), 0);
    EXPECT_THAT(calls,
                ElementsAre(Call{PaneKeyUp, 0, 0x41}, Call{PaneCharacter, 0, 'a'}, Call{PaneLeftDown, 5, 6}));
}

class WindowDrawing : public SpriteTestApp {
  protected:
    void SetUp() override {
        SpriteTestApp::SetUp();
        app.presentParams.BackBufferWidth = 800;
        app.presentParams.BackBufferHeight = 600;
        app.ResetClipRect();
    }
    std::vector<uint32_t> Colours() const {
        std::vector<uint32_t> out;
        for (const auto& draw : device.draws)
            out.push_back(draw.vertices[0].diffuse);
        return out;
    }
};

TEST_F(WindowDrawing, FillThenLightAndDarkBevelSwappedWhenPressed) {
    Window window(0, 10, 10, 50, 40, "WINDOW");
    window.Draw();
    EXPECT_THAT(Colours(), ElementsAre(DefaultFill, DefaultLight, DefaultLight, DefaultDark, DefaultDark));
    // the right edge is the window's last pixel column
    EXPECT_THAT(Corners(), ElementsAre(10, 39, 50, 39, 10, 40, 50, 40));

    device.draws.clear();
    window.pressed = true;
    window.style = 1;
    window.Draw();
    EXPECT_THAT(Colours(), ElementsAre(DefaultDark, DefaultDark, DefaultLight, DefaultLight));
}

TEST_F(WindowDrawing, ChildrenAreCutToTheParentAndHiddenOnesDrawNothing) {
    Window root(0, 0, 0, 100, 100, "WINDOW");
    root.style = 0;
    Window* overhanging = new Window(0, 80, 80, 150, 150, "WINDOW");
    overhanging->style = 2;
    Window* outside = new Window(0, 200, 200, 250, 250, "WINDOW");
    root.AddChild(overhanging);
    root.AddChild(outside);
    root.Draw();
    ASSERT_EQ(device.draws.size(), 1u);
    EXPECT_THAT(Corners(), ElementsAre(80, 80, 100, 80, 80, 100, 100, 100));
    // the clip rectangle is the full screen again afterwards
    EXPECT_EQ(app.clipRect.right, 800);
    EXPECT_EQ(app.clipRect.bottom, 600);

    device.draws.clear();
    app.SetClipRect(300, 300, 400, 400);
    outside->DrawSelf();
    EXPECT_TRUE(device.draws.empty());
    EXPECT_EQ(app.clipRect.left, 300);
}

TEST_F(WindowDrawing, ArtTextButtonLabelFadesToHalfAlphaRedAndGreen) {
    const std::unique_ptr<Font> font = MakeCellFont(&device, 16);
    app.fonts[2] = font.get();
    ArtTextButton button(0, 10, 10, 200, 50, "ARTTEXTBUTTON");
    button.style = 0;
    button.fontSlot = 2;
    button.SetText("A");
    button.Draw();
    app.fonts[2] = nullptr;
    std::set<uint32_t> colours;
    for (const auto& draw : device.draws)
        for (const ScreenVertex& v : draw.vertices)
            colours.insert(v.diffuse);
    EXPECT_THAT(colours, ElementsAre(0x7F6464FFu, 0xFFC8C8FFu));
}
