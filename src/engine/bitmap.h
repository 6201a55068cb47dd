// Game art: a texture loaded from a file, with the sprite operations every mode
// and game object draws with. Screen positions are pixels, x right, y down;
// colours are r, g, b, a in 0..255. Draw only inside the application's frame.
#pragma once

#include "core/data_object.h"
#include "platform/d3d8/d3d8.h"

#include <cstdint>

class Bitmap : public DataObject {
  public:
    // Owned; null when the file could not be loaded, and then the operations
    // draw flat quads (DrawQuad, DrawMapped) or nothing.
    IDirect3DTexture8* texture = nullptr;

    // Loads with opaque black as the colour key. Tag 0, name "BITMAP".
    explicit Bitmap(const char* fileName);
    ~Bitmap() override;

    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // The whole texture at its natural size, centred on (trunc(x), trunc(y))
    // with halves rounded down, untinted. Nothing without a texture. The third
    // argument is accepted for the callers' sake and has no effect.
    void DrawCentered(float x, float y, int32_t unused = 0);
    // Rotated (positive angle turns counter-clockwise on screen) and scaled
    // about its centre, tinted and faded by the colour, alpha-blended.
    void DrawRotated(float x, float y, float angle, float scale, int32_t r, int32_t g, int32_t b, int32_t a);
    // As DrawRotated, added to the picture (black adds nothing).
    void DrawRotatedGlow(float x, float y, float angle, float scale, int32_t r, int32_t g, int32_t b,
                         int32_t a);
    // points: the (x, y) pairs of the corners top-left, top-right, bottom-left,
    // bottom-right.
    void DrawQuad(const float* points, int32_t r, int32_t g, int32_t b, int32_t a, bool additive);
    // As DrawQuad with the (u, v) pairs of the same corners.
    void DrawMapped(const float* points, const float* uvs, int32_t r, int32_t g, int32_t b, int32_t a);
    // The top level's size in texels; false (and nothing written) without a texture.
    bool GetSize(int32_t* width, int32_t* height);
};
