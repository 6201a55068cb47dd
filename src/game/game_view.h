// An abstract screen with input hooks, and the drawing helpers every such
// screen shares.
#pragma once

#include <cstdint>

class Bitmap;

class GameView {
  public:
    int32_t showPointer = 0;
    int32_t mouseX = 0;
    int32_t mouseY = 0;
    int32_t screenWidth; // back-buffer size at construction
    int32_t screenHeight;
    int32_t finished = 0; // 1 once the view is done; its owner then deletes it

    GameView();
    virtual ~GameView();

    virtual int32_t Tick();
    virtual int32_t Draw();
    // Depth writes and lighting on, no culling, SRCALPHA/INVSRCALPHA, Gouraud.
    virtual void ResetRenderStates();
    // Six additive copies of the bitmap on the line from (x, y) through the
    // screen centre.
    virtual void DrawZoomTrail(Bitmap* bitmap, float x, float y);
    // points: (x, y) of top-left, top-right, bottom-left, bottom-right; colour 0..255.
    virtual void FillScreenQuad(const float* points, int32_t r, int32_t g, int32_t b, int32_t a);
    virtual void KeyDown(int32_t key);
    virtual void KeyUp(int32_t key, int32_t character);
    virtual void MouseDown(int32_t button);
    virtual void MouseUp(int32_t button);
};
