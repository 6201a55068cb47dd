// The window toolkit: a tree of rectangular elements, each owning its
// children, drawn as translucent bevelled boxes, text boxes and push buttons
// in screen pixels, and offered mouse and key events in list order.
#pragma once

#include "core/data_object.h"
#include "core/object_list.h"
#include "platform/win32/win32.h"

#include <cstdint>
#include <functional>
#include <string>

class InputEvent;

// Event codes offered to HandleEvent. Key events carry x = 0 and y = the
// virtual key code (codes 6 and 7) or the character (code 8).
constexpr int32_t PaneLeftDown = 0;
constexpr int32_t PaneRightDown = 1;
constexpr int32_t PaneLeftUp = 2;
constexpr int32_t PaneRightUp = 3;
constexpr int32_t PaneHover = 4;
constexpr int32_t PaneKeyDown = 6;
constexpr int32_t PaneKeyUp = 7;
constexpr int32_t PaneCharacter = 8;

// A coordinate of -2 given to a constructor stands for LastRect's.
constexpr int32_t SameAsLastRect = -2;

class Pane;

// The owner's hook: (element, event code, x, y); non-zero when it acted.
using PaneCallback = std::function<int32_t(Pane*, int32_t, int32_t, int32_t)>;

// The last rectangle given to a Pane constructor, initially (0, 0, 100, 100).
extern RECT LastRect;
// The element that last took a mouse press; only ever compared, never followed.
extern Pane* CapturedPane;
extern int32_t WindowAlpha;
// ARGB defaults for new windows; a mode may replace them before building.
extern uint32_t DefaultLight;
extern uint32_t DefaultDark;
extern uint32_t DefaultFill;

// Moves LastRect right by `columns` of its widths and down by `rows` of its
// heights, so the next element built with -2 lands beside or below it.
void OffsetLastRect(int32_t columns, int32_t rows);

// Offers one queued input event to a root element in the element codes: a
// key release also sends its character (code 8) right after code 7. Returns
// the last result.
int32_t OfferInputEvent(Pane* root, const InputEvent* event);

class Pane : public DataObject {
  public:
    RECT rect{};
    bool pressed = false;
    bool highlighted = false;
    Pane* parent = nullptr;
    // Owned, drawn and offered events in list order.
    ObjectList children;
    PaneCallback callback;

    // -2 coordinates are taken from LastRect; the result becomes LastRect.
    Pane(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name);
    ~Pane() override;
    Pane(const Pane&) = delete;
    Pane& operator=(const Pane&) = delete;

    // Takes ownership; the first child of an element starts highlighted.
    virtual void AddChild(Pane* child);
    virtual void Draw();
    virtual void DrawSelf();
    // Draws each child clipped to its intersection with this element's
    // rectangle, then resets the clip rectangle to the full screen.
    virtual void DrawChildren();
    // Edges included.
    virtual bool HitTest(int32_t x, int32_t y);
    // Non-zero when the event was handled.
    virtual int32_t HandleEvent(int32_t event, int32_t x, int32_t y);
    // Children keep the rectangles they were built with.
    virtual void Layout();
    // Null clears the text; elements without text ignore it.
    virtual void SetText(const char* text);

  protected:
    // The first non-zero result of the children in list order, else 0.
    int32_t OfferToChildren(int32_t event, int32_t x, int32_t y);
    int32_t RunCallback(int32_t event, int32_t x, int32_t y);
    void MoveHighlight(bool forward);
};

class Window : public Pane {
  public:
    uint32_t lightColour;
    uint32_t darkColour;
    uint32_t fillColour; // 0: no fill
    uint8_t style = 3;   // 0 nothing, 1 bevel only, 2 fill only, 3 fill and bevel
    uint32_t textFlags = 0;

    Window(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name);
    void DrawSelf() override;
    int32_t HandleEvent(int32_t event, int32_t x, int32_t y) override;

  protected:
    // Fill and bevel inside the application's clip rectangle, which is left
    // on the visible part. False (nothing drawn, clip unchanged) when none
    // of the window is visible.
    bool DrawBox();
    bool HasBevel() const;
};

class TextBox : public Window {
  public:
    uint32_t textColour = 0xFFFFFFFFu;
    std::string text;
    int32_t fontSlot = 0;

    TextBox(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name);
    void DrawSelf() override;
    void SetText(const char* newText) override;
};

// A push button: pressed while the left button is held over it.
class TextButton : public Window {
  public:
    uint32_t normalColour = 0xFFC8C8FFu;
    uint32_t highlightColour = 0xFF6464FFu;
    uint32_t pressedColour = 0xFF00009Bu;
    std::string text;
    int32_t fontSlot = 0;

    TextButton(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name);
    void DrawSelf() override;
    int32_t HandleEvent(int32_t event, int32_t x, int32_t y) override;
    void SetText(const char* newText) override;

  protected:
    uint32_t LabelColour() const;
    // The label's box: the rectangle less a pixel each side, a pixel taller
    // above and below when bevelled.
    RECT LabelBox() const;
};

// A button whose label splits into two fading ghosts when it becomes
// highlighted, drawn with a darkening vertical gradient.
class ArtTextButton : public TextButton {
  public:
    // Frames since the button last became highlighted; ghosts show below 40.
    int32_t ghostCounter = 40;

    ArtTextButton(int32_t tag, int32_t left, int32_t top, int32_t right, int32_t bottom, const char* name);
    void DrawSelf() override;
    int32_t HandleEvent(int32_t event, int32_t x, int32_t y) override;
};
