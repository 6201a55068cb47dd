#include "engine/ui_window.h"

#include "core/game_application.h"
#include "core/input_event.h"
#include "core/main_loop.h"
#include "engine/font.h"

#include <algorithm>

RECT LastRect{0, 0, 100, 100};
Pane* CapturedPane = nullptr;
int32_t WindowAlpha = 100;
uint32_t DefaultLight = static_cast<uint32_t>(WindowAlpha) << 24 | 0x646464u;
uint32_t DefaultDark = static_cast<uint32_t>(WindowAlpha) << 24 | 0x383846u;
uint32_t DefaultFill = static_cast<uint32_t>(WindowAlpha) << 24 | 0x282832u;

namespace {

constexpr int32_t KeyUpArrow = 0x26;
constexpr int32_t KeyDownArrow = 0x28;

bool IsArrowKey(int32_t event, int32_t key) {
    return event == PaneKeyDown && (key == KeyUpArrow || key == KeyDownArrow);
}

RECT Intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECT& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

void FillRect(const RECT& r, const RECT& within, uint32_t colour) {
    const RECT part = Intersect(r, within);
    if (!IsEmpty(part))
        TheApplication->DrawTextureRect(nullptr, part.left, part.top, part.right, part.bottom, colour);
}

// Walks the nodes rather than the list's cursor, so a child may walk its
// siblings while its parent is offering it an event.
template <typename Visit> bool AnyChild(ObjectList& list, Visit visit) {
    for (ObjectListNode* node = list.sentinel->next; node != list.sentinel; node = node->next) {
        if (visit(static_cast<Pane*>(node->item)))
            return true;
    }
    return false;
}

Font* FontInSlot(int32_t slot) {
    return TheApplication ? TheApplication->GetFont(slot) : nullptr;
}

} // namespace

void OffsetLastRect(int32_t columns, int32_t rows) {
    const LONG width = LastRect.right - LastRect.left;
    const LONG height = LastRect.bottom - LastRect.top;
    LastRect.left += columns * width;
    LastRect.right += columns * width;
    LastRect.top += rows * height;
    LastRect.bottom += rows * height;
}

int32_t OfferInputEvent(Pane* root, const InputEvent* event) {
    if (!root || !event)
        return 0;
    switch (event->tag) {
    case InputKeyDown:
        return root->HandleEvent(PaneKeyDown, 0, event->keyCode);
    case InputKeyUp:
        root->HandleEvent(PaneKeyUp, 0, event->keyCode);
        return root->HandleEvent(PaneCharacter, 0, static_cast<unsigned char>(event->character));
    case InputLeftDown:
        return root->HandleEvent(PaneLeftDown, event->x, event->y);
    case InputLeftUp:
        return root->HandleEvent(PaneLeftUp, event->x, event->y);
    case InputRightDown:
        return root->HandleEvent(PaneRightDown, event->x, event->y);
    case InputRightUp:
        return root->HandleEvent(PaneRightUp, event->x, event->y);
    default:
        return 0;
    }
}

Pane::Pane(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name)
    : DataObject(tag, name) {
    rect.left = left == SameAsLastRect ? LastRect.left : left;
    rect.top = top == SameAsLastRect ? LastRect.top : top;
    rect.right = right == SameAsLastRect ? LastRect.right : right;
    rect.bottom = bottom == SameAsLastRect ? LastRect.bottom : bottom;
    LastRect = rect;
}

Pane::~Pane() = default;

void Pane::AddChild(Pane* child) {
    if (!child)
        return;
    child->highlighted = children.IsEmpty() != 0;
    if (children.Add(child))
        child->parent = this;
}

void Pane::Draw() {
    DrawSelf();
    DrawChildren();
}

void Pane::DrawSelf() {}

void Pane::DrawChildren() {
    if (!TheApplication)
        return;
    AnyChild(children, [this](Pane* child) {
        const RECT visible = Intersect(child->rect, rect);
        if (!IsEmpty(visible)) {
            TheApplication->SetClipRect(visible.left, visible.top, visible.right, visible.bottom);
            child->Draw();
            TheApplication->SetClipRect(rect.left, rect.top, rect.right, rect.bottom);
        }
        return false;
    });
    TheApplication->ResetClipRect();
}

bool Pane::HitTest(int32_t x, int32_t y) {
    return x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
}

int32_t Pane::OfferToChildren(int32_t event, int32_t x, int32_t y) {
    int32_t result = 0;
    AnyChild(children, [&](Pane* child) {
        result = child->HandleEvent(event, x, y);
        return result != 0;
    });
    return result;
}

int32_t Pane::RunCallback(int32_t event, int32_t x, int32_t y) {
    return callback ? callback(this, event, x, y) : 0;
}

void Pane::MoveHighlight(bool forward) {
    ObjectListNode* const end = parent->children.sentinel;
    ObjectListNode* node = end->next;
    while (node != end && node->item != this)
        node = node->next;
    if (node == end)
        return;
    ObjectListNode* target = forward ? node->next : node->prev;
    if (target == end)
        target = forward ? end->next : end->prev;
    // Cleared first, so a lone child keeps its highlight.
    highlighted = false;
    static_cast<Pane*>(target->item)->highlighted = true;
}

int32_t Pane::HandleEvent(int32_t event, int32_t x, int32_t y) {
    const bool inside = HitTest(x, y);
    switch (event) {
    case PaneLeftDown:
    case PaneRightDown:
        if (!inside)
            return 0;
        CapturedPane = this;
        break;
    case PaneLeftUp:
    case PaneRightUp:
        CapturedPane = nullptr;
        if (!inside && !pressed)
            return 0;
        break;
    case PaneHover:
        if (!inside && highlighted)
            highlighted = false;
        if (inside && !highlighted) {
            if (parent) {
                AnyChild(parent->children, [](Pane* sibling) {
                    sibling->highlighted = false;
                    return false;
                });
            }
            highlighted = true;
        }
        break;
    case PaneKeyDown:
        if (IsArrowKey(event, y) && parent) {
            MoveHighlight(y == KeyDownArrow);
            return 1;
        }
        break;
    case PaneKeyUp:
    case PaneCharacter:
        break;
    default:
        return 0;
    }
    const int32_t result = OfferToChildren(event, x, y);
    return result ? result : RunCallback(event, x, y);
}

void Pane::Layout() {}

void Pane::SetText(const char*) {}

Window::Window(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name)
    : Pane(tag, left, top, right, bottom, name), lightColour(DefaultLight), darkColour(DefaultDark),
      fillColour(DefaultFill) {}

bool Window::HasBevel() const {
    return style == 1 || style == 3;
}

bool Window::DrawBox() {
    if (!TheApplication)
        return false;
    const RECT visible = Intersect(rect, TheApplication->clipRect);
    if (IsEmpty(visible))
        return false;
    TheApplication->SetClipRect(visible.left, visible.top, visible.right, visible.bottom);
    if ((style == 2 || style == 3) && fillColour != 0)
        FillRect(visible, visible, fillColour);
    if (HasBevel()) {
        const uint32_t topLeft = pressed ? darkColour : lightColour;
        const uint32_t bottomRight = pressed ? lightColour : darkColour;
        const RECT& r = rect;
        FillRect(RECT{r.left, r.top, r.left + 1, r.bottom}, visible, topLeft);
        FillRect(RECT{r.left, r.top, r.right, r.top + 1}, visible, topLeft);
        FillRect(RECT{r.right - 1, r.top, r.right, r.bottom}, visible, bottomRight);
        FillRect(RECT{r.left, r.bottom - 1, r.right, r.bottom}, visible, bottomRight);
    }
    TheApplication->SetClipRect(visible.left, visible.top, visible.right, visible.bottom);
    return true;
}

void Window::DrawSelf() {
    DrawBox();
}

int32_t Window::HandleEvent(int32_t event, int32_t x, int32_t y) {
    const int32_t result = Pane::HandleEvent(event, x, y);
    if (result == 0 && IsArrowKey(event, y) && !children.IsEmpty())
        static_cast<Pane*>(children.sentinel->next->item)->highlighted = true;
    return result;
}

TextBox::TextBox(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name)
    : Window(tag, left, top, right, bottom, name) {}

void TextBox::SetText(const char* newText) {
    text = newText ? newText : "";
}

void TextBox::DrawSelf() {
    if (!DrawBox())
        return;
    Font* font = FontInSlot(fontSlot);
    if (!font || text.empty())
        return;
    const int32_t widen = HasBevel() ? 1 : 0;
    font->DrawText(rect.left + 1, rect.top - widen, rect.right - 1, rect.bottom + widen,
                   &TheApplication->clipRect, textColour, text.c_str(), textFlags);
}

TextButton::TextButton(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom,
                       const char* name)
    : Window(tag, left, top, right, bottom, name) {}

void TextButton::SetText(const char* newText) {
    text = newText ? newText : "";
}

uint32_t TextButton::LabelColour() const {
    if (pressed && highlighted)
        return pressedColour;
    return highlighted ? highlightColour : normalColour;
}

RECT TextButton::LabelBox() const {
    const int32_t widen = HasBevel() ? 1 : 0;
    return RECT{rect.left + 1, rect.top - widen, rect.right - 1, rect.bottom + widen};
}

void TextButton::DrawSelf() {
    if (!DrawBox() || text.empty())
        return;
    Font* font = FontInSlot(fontSlot);
    if (!font)
        return;
    const RECT box = LabelBox();
    font->DrawText(box.left, box.top, box.right, box.bottom, &TheApplication->clipRect, LabelColour(),
                   text.c_str(), textFlags);
}

int32_t TextButton::HandleEvent(int32_t event, int32_t x, int32_t y) {
    const bool inside = HitTest(x, y);
    if ((event == PaneLeftDown || event == PaneLeftUp || event == PaneHover) && !inside) {
        highlighted = false;
        pressed = false;
    }
    switch (event) {
    case PaneLeftDown:
        if (!inside)
            return 0;
        pressed = true;
        CapturedPane = this;
        return RunCallback(PaneLeftDown, x, y);
    case PaneLeftUp:
        // A release anywhere ends the capture, so the button cannot sink again
        // under a hovering pointer with no button held.
        if (CapturedPane == this)
            CapturedPane = nullptr;
        if (!inside)
            return 0;
        pressed = false;
        return RunCallback(PaneLeftUp, x, y);
    case PaneHover:
        if (!inside)
            return 0;
        if (CapturedPane == this)
            pressed = true;
        return Window::HandleEvent(event, x, y);
    case PaneKeyDown:
    case PaneKeyUp:
        return Window::HandleEvent(event, x, y);
    default:
        return 0;
    }
}

ArtTextButton::ArtTextButton(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom,
                             const char* name)
    : TextButton(tag, left, top, right, bottom, name) {}

void ArtTextButton::DrawSelf() {
    if (ghostCounter < 40)
        ghostCounter += 1;
    if (!DrawBox() || text.empty())
        return;
    Font* font = FontInSlot(fontSlot);
    if (!font)
        return;
    const RECT box = LabelBox();
    if (ghostCounter >= 0 && ghostCounter < 40) {
        const uint32_t alpha = static_cast<uint32_t>(std::clamp(255 - 12 * ghostCounter, 0, 255));
        const uint32_t ghost = alpha << 24 | 0x6464FFu;
        const int32_t shift = 3 * ghostCounter;
        font->DrawText(box.left - shift, box.top, box.right - shift, box.bottom, nullptr, ghost, text.c_str(),
                       textFlags);
        font->DrawText(box.left + shift, box.top, box.right + shift, box.bottom, nullptr, ghost, text.c_str(),
                       textFlags);
    }
    const uint32_t top = LabelColour();
    const uint32_t bottom = (top & 0x000000FFu) | ((top >> 1) & 0x7F7F7F00u);
    font->DrawText(box.left, box.top, box.right, box.bottom, &TheApplication->clipRect, top, text.c_str(),
                   textFlags, bottom);
}

int32_t ArtTextButton::HandleEvent(int32_t event, int32_t x, int32_t y) {
    if (event == PaneHover && !HitTest(x, y)) {
        highlighted = false;
        return 0;
    }
    if (event == PaneHover || event == PaneKeyDown || event == PaneKeyUp) {
        const bool wasHighlighted = highlighted;
        const int32_t result = Window::HandleEvent(event, x, y);
        if (!wasHighlighted && highlighted)
            ghostCounter = 0;
        return result;
    }
    return TextButton::HandleEvent(event, x, y);
}
