#include "engine/menu_list.h"

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/font.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int32_t MeasureFontSlot = 3;
constexpr int32_t DrawFontSlot = 2;
constexpr int32_t BlinkTicks = 45;

// The single-precision 0.7 widened to double before multiplying, so that
// 200 x 0.7 truncates to 139 (a float product would round up to 140).
uint32_t Dimmed(uint32_t value) {
    constexpr float factor = 0.7f;
    return static_cast<uint32_t>(static_cast<double>(value) * static_cast<double>(factor));
}

int32_t ScreenHalf(bool width) {
    if (!TheApplication)
        return 0;
    return (width ? TheApplication->GetScreenWidth() : TheApplication->GetScreenHeight()) / 2;
}

} // namespace

MenuList::MenuList() : pointerArt(std::make_unique<Bitmap>("dat\\mouse000004.bmp")) {}

void MenuList::AddItem(int32_t id, const char* text) {
    if (count >= MenuListCapacity)
        return;
    ids[count] = id;
    char* label = labels[count];
    label[0] = '\0';
    if (text) {
        std::strncpy(label, text, MenuLabelLength - 1);
        label[MenuLabelLength - 1] = '\0';
    }
    SIZE size{0, 0};
    Font* font = TheApplication ? TheApplication->GetFont(MeasureFontSlot) : nullptr;
    if (font && label[0] != '\0')
        font->MeasureText(label, &size);
    textWidth = std::max(textWidth, static_cast<float>(size.cx) + 5.0f);
    count += 1;
    const float height = static_cast<float>(count) * rowHeight;
    top = static_cast<float>(ScreenHalf(false)) - height / 2.0f + offsetY;
    bottom = top + height;
    pointerY = top;
}

void MenuList::Tick(int32_t menuSpeed) {
    if (selected >= 0) {
        if (blinkTimer >= 0)
            blinkTimer -= 1;
        return;
    }
    pointerY += static_cast<float>(menuSpeed + 1) * speedFactor * 0.25f;
    if (pointerY > bottom)
        pointerY = top;
}

int32_t MenuList::RowUnderPointer() const {
    float y = top;
    for (int32_t i = 0; i < count; ++i, y += rowHeight) {
        if (static_cast<float>(static_cast<int32_t>(y)) < pointerY &&
            pointerY < static_cast<float>(static_cast<int32_t>(y + rowHeight)))
            return i;
    }
    return -1;
}

void MenuList::Select() {
    if (selected >= 0)
        return;
    const int32_t row = RowUnderPointer();
    if (row < 0 || labels[row][0] == '\0')
        return;
    selected = row;
    blinkTimer = BlinkTicks;
}

bool MenuList::Finished() const {
    return selected >= 0 && blinkTimer < 0;
}

int32_t MenuList::ChosenId() const {
    return selected >= 0 ? ids[selected] : -1;
}

void MenuList::Draw() {
    Font* font = TheApplication ? TheApplication->GetFont(DrawFontSlot) : nullptr;
    const float centreX = static_cast<float>(ScreenHalf(true));
    const int32_t left = static_cast<int32_t>(centreX - textWidth / 2.0f + offsetX);
    const int32_t right = static_cast<int32_t>(centreX + textWidth / 2.0f + offsetX);
    const int32_t pointerRow = RowUnderPointer();
    float y = top;
    for (int32_t i = 0; font && i < count; ++i, y += rowHeight) {
        if (labels[i][0] == '\0')
            continue;
        const int32_t rowTop = static_cast<int32_t>(y);
        const int32_t rowBottom = static_cast<int32_t>(y + rowHeight);
        bool lit = i == pointerRow;
        if (i == selected)
            lit = (blinkTimer / 4) % 2 != 0;
        uint32_t colour = 0xFF8CFF64u;
        uint32_t green = 255;
        if (i == selected && !lit) {
            colour = 0xFF282828u;
            green = 40;
        } else if (lit) {
            colour = 0xFFFFC8C8u;
            green = 200;
        }
        const uint32_t bottomColour = Dimmed(colour >> 24) << 24 | Dimmed((colour >> 16) & 0xFF) << 16 |
                                      Dimmed(green) << 8 | (colour & 0xFF);
        font->DrawText(left, rowTop, right, rowBottom, &TheApplication->clipRect, colour, labels[i],
                       FontCentred | FontCentredVertical, bottomColour);
    }
    pointerArt->DrawCentered(centreX + textWidth / 2.0f + offsetX + 16.0f, pointerY + 16.0f);
}
