// Text drawn from a glyph atlas: the 95 printable ASCII characters of a system
// typeface rendered once into an A4R4G4B4 texture (white with the glyph's
// coverage as alpha), then laid out as two textured triangles per character.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/win32/win32.h"

#include <cstdint>

// DrawText flags, combinable.
constexpr uint32_t FontCentred = 1;         // centre between x and right
constexpr uint32_t FontFiltered = 4;        // linear filtering for this call
constexpr uint32_t FontCentredVertical = 8; // centre between y and bottom
constexpr uint32_t FontRightAligned = 16;   // flush against right

struct GlyphCoords {
    float left;
    float top;
    float right;
    float bottom;
};

class Font {
  public:
    char faceName[80] = {};
    int32_t height = 0;
    uint32_t style = 0; // bit 0 bold, bit 1 italic
    IDirect3DDevice8* device = nullptr;
    IDirect3DTexture8* glyphTexture = nullptr;
    IDirect3DVertexBuffer8* vertexBuffer = nullptr;
    uint32_t textureWidth = 0;
    uint32_t textureHeight = 0;
    float textScale = 1.0f;
    // Atlas rectangles (0..1) of codes 32..127; code 127's stays zero.
    GlyphCoords glyphCoords[96] = {};
    DWORD savedState = 0;
    DWORD textState = 0;

    // Keeps the first 79 characters of the face name; no device objects yet.
    Font(const char* faceName, int32_t height, uint32_t style);
    ~Font();

    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Builds the atlas on the device. Returns the texture-creation error,
    // E_FAIL when the typeface cannot be made (the atlas then stays empty and
    // text draws nothing), else 0.
    HRESULT CreateDeviceObjects(IDirect3DDevice8* device);
    // The 300-vertex batch buffer and the two state blocks; the buffer's
    // creation error, else 0.
    HRESULT RestoreDeviceObjects();
    // Releases the batch buffer and the state blocks (around a device reset).
    void InvalidateDeviceObjects();
    // Releases the atlas and forgets the device.
    void DeleteDeviceObjects();

    // Width and height in pixels of the text as DrawText lays it out: the
    // widest line, and one space-glyph height per line. E_FAIL (nothing
    // written) for a null argument.
    HRESULT MeasureText(const char* text, SIZE* size);
    // Draws text in the box (x, y)-(right, bottom), cut to the box and to clip
    // when given, shaded from topColour (glyph tops) to bottomColour (glyph
    // bottoms; 0 means topColour). Leaves the device state as it found it.
    // E_FAIL without a device, else 0; an empty text touches nothing.
    HRESULT DrawText(int32_t x, int32_t y, int32_t right, int32_t bottom, const RECT* clip,
                     uint32_t topColour, const char* text, uint32_t flags, uint32_t bottomColour = 0);
};
