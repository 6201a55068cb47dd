#include "engine/font.h"

#include "engine/video_list.h"
#include "platform/win32/gdi_font.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

constexpr UINT kBatchVertices = 300;
constexpr UINT kBatchBytes = kBatchVertices * sizeof(ScreenVertex);
static_assert(kBatchBytes == 8400);

uint32_t AtlasSize(int32_t height) {
    if (height > 40)
        return 1024;
    if (height > 20)
        return 512;
    return 256;
}

// Every texel of the atlas from the white-on-black DIB: the coverage, the
// upper four bits of the pixel's lowest byte, becomes the alpha of a white
// texel; uncovered texels are transparent black.
void ConvertAtlas(IDirect3DTexture8* texture, const uint32_t* dib, uint32_t width, uint32_t height) {
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(0, &locked, nullptr, 0) != 0 || !locked.pBits)
        return;
    auto* rows = static_cast<BYTE*>(locked.pBits);
    for (uint32_t y = 0; y < height; ++y) {
        auto* row =
            reinterpret_cast<uint16_t*>(rows + static_cast<size_t>(y) * static_cast<size_t>(locked.Pitch));
        for (uint32_t x = 0; x < width; ++x) {
            const uint32_t coverage = (dib[static_cast<size_t>(y) * width + x] >> 4) & 0xF;
            row[x] = coverage ? static_cast<uint16_t>((coverage << 12) | 0x0FFF) : 0;
        }
    }
    texture->UnlockRect(0);
}

// One character's six vertices: two triangles, the top corners in the top
// colour and the bottom corners in the bottom colour, shifted by half a pixel
// so texel centres land on pixel centres.
void EmitGlyph(ScreenVertex* out, float x1, float y1, float x2, float y2, const GlyphCoords& uv, uint32_t top,
               uint32_t bottom) {
    const float l = x1 - 0.5f;
    const float t = y1 - 0.5f;
    const float r = x2 - 0.5f;
    const float b = y2 - 0.5f;
    out[0] = {l, b, 0.9f, 1.0f, bottom, uv.left, uv.bottom};
    out[1] = {l, t, 0.9f, 1.0f, top, uv.left, uv.top};
    out[2] = {r, b, 0.9f, 1.0f, bottom, uv.right, uv.bottom};
    out[3] = {r, t, 0.9f, 1.0f, top, uv.right, uv.top};
    out[4] = {r, b, 0.9f, 1.0f, bottom, uv.right, uv.bottom};
    out[5] = {l, t, 0.9f, 1.0f, top, uv.left, uv.top};
}

void RecordTextState(IDirect3DDevice8* device, IDirect3DTexture8* glyphTexture) {
    device->SetTexture(0, glyphTexture);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 8);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    device->SetRenderState(D3DRS_CLIPPING, TRUE);
    device->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_FOGENABLE, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

} // namespace

Font::Font(const char* faceName, int32_t height, uint32_t style) : height(height), style(style) {
    if (faceName)
        std::strncpy(this->faceName, faceName, sizeof this->faceName - 1);
}

Font::~Font() {
    InvalidateDeviceObjects();
    DeleteDeviceObjects();
}

HRESULT Font::CreateDeviceObjects(IDirect3DDevice8* device) {
    if (!device)
        return E_FAIL;
    DeleteDeviceObjects();
    this->device = device;
    textureWidth = textureHeight = AtlasSize(height);
    textScale = 1.0f;
    D3DCAPS8 caps{};
    device->GetDeviceCaps(&caps);
    // a zero maximum means the caps could not be read; a zero scale would
    // make every glyph infinitely wide
    if (caps.MaxTextureWidth > 0 && caps.MaxTextureWidth < textureWidth) {
        textScale = static_cast<float>(caps.MaxTextureWidth) / static_cast<float>(textureWidth);
        textureWidth = textureHeight = caps.MaxTextureWidth;
    }
    std::memset(glyphCoords, 0, sizeof glyphCoords);
    const HRESULT created = device->CreateTexture(textureWidth, textureHeight, 1, 0, D3DFMT_A4R4G4B4,
                                                  D3DPOOL_MANAGED, &glyphTexture);
    if (created != 0) {
        glyphTexture = nullptr;
        return created;
    }

    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(textureWidth);
    info.bmiHeader.biHeight = -static_cast<LONG>(textureHeight);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    HFONT font = nullptr;
    if (bits) {
        SetMapMode(dc, MM_TEXT);
        const int fontHeight = static_cast<int>(static_cast<float>(height) * -1.4f);
        font = CreateFontA(fontHeight, 0, 0, 0, (style & 1) ? FW_BOLD : FW_NORMAL, (style >> 1) & 1, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           ANTIALIASED_QUALITY, VARIABLE_PITCH, faceName);
    }
    if (font) {
        SelectObject(dc, bitmap);
        SelectObject(dc, font);
        SetTextColor(dc, RGB(255, 255, 255));
        SetBkColor(dc, 0);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        uint32_t x = 0;
        uint32_t y = 0;
        for (int code = 32; code <= 126; ++code) {
            const char character = static_cast<char>(code);
            SIZE extent{};
            GetTextExtentPoint32A(dc, &character, 1, &extent);
            const uint32_t cx = static_cast<uint32_t>(extent.cx > 0 ? extent.cx : 0);
            const uint32_t cy = static_cast<uint32_t>(extent.cy > 0 ? extent.cy : 0);
            if (x + cx + 1 > textureWidth) {
                x = 0;
                y += cy + 1;
            }
            ExtTextOutA(dc, static_cast<int>(x), static_cast<int>(y), ETO_OPAQUE, nullptr, &character, 1,
                        nullptr);
            const float w = static_cast<float>(textureWidth);
            const float h = static_cast<float>(textureHeight);
            glyphCoords[code - 32] = {static_cast<float>(x) / w, static_cast<float>(y) / h,
                                      static_cast<float>(x + cx) / w, static_cast<float>(y + cy) / h};
            x += cx + 1;
        }
    }
    // without a typeface the atlas is converted from the blank DIB: empty
    if (bits)
        ConvertAtlas(glyphTexture, static_cast<const uint32_t*>(bits), textureWidth, textureHeight);
    if (bitmap)
        DeleteObject(bitmap);
    if (dc)
        DeleteDC(dc);
    if (font)
        DeleteObject(font);
    return font ? 0 : E_FAIL;
}

HRESULT Font::RestoreDeviceObjects() {
    if (!device)
        return E_FAIL;
    InvalidateDeviceObjects();
    const HRESULT created =
        device->CreateVertexBuffer(kBatchBytes, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &vertexBuffer);
    if (created != 0) {
        vertexBuffer = nullptr;
        return created;
    }
    for (DWORD* block : {&savedState, &textState}) {
        device->BeginStateBlock();
        RecordTextState(device, glyphTexture);
        device->EndStateBlock(block);
    }
    return 0;
}

void Font::InvalidateDeviceObjects() {
    if (vertexBuffer)
        vertexBuffer->Release();
    vertexBuffer = nullptr;
    if (device && savedState)
        device->DeleteStateBlock(savedState);
    if (device && textState)
        device->DeleteStateBlock(textState);
    savedState = 0;
    textState = 0;
}

void Font::DeleteDeviceObjects() {
    if (glyphTexture)
        glyphTexture->Release();
    glyphTexture = nullptr;
    device = nullptr;
}

HRESULT Font::MeasureText(const char* text, SIZE* size) {
    if (!text || !size)
        return E_FAIL;
    const float lineHeight = (glyphCoords[0].bottom - glyphCoords[0].top) * static_cast<float>(textureHeight);
    float width = 0.0f;
    float rowWidth = 0.0f;
    float height = lineHeight;
    for (const char* p = text; *p; ++p) {
        const auto code = static_cast<unsigned char>(*p);
        if (code == '\n') {
            rowWidth = 0.0f;
            height += lineHeight;
        } else if (code >= 32 && code <= 127) {
            const GlyphCoords& glyph = glyphCoords[code - 32];
            rowWidth += (glyph.right - glyph.left) * static_cast<float>(textureWidth);
            width = std::fmax(width, rowWidth);
        }
    }
    size->cx = static_cast<LONG>(width);
    size->cy = static_cast<LONG>(height);
    return 0;
}

HRESULT Font::DrawText(int32_t x, int32_t y, int32_t right, int32_t bottom, const RECT* clip,
                       uint32_t topColour, const char* text, uint32_t flags, uint32_t bottomColour) {
    if (!device)
        return E_FAIL;
    // without its batch buffer the font cannot draw; the device is left alone
    if (!text || !*text || !vertexBuffer)
        return 0;
    if (bottomColour == 0)
        bottomColour = topColour;

    device->CaptureStateBlock(savedState);
    device->ApplyStateBlock(textState);
    device->SetVertexShader(ScreenVertexFormat);
    device->SetStreamSource(0, vertexBuffer, sizeof(ScreenVertex));
    if (flags & FontFiltered) {
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    }

    // Offsets in 64 bits: the box may be as wide as int32 allows.
    int64_t startX = x;
    int64_t startY = y;
    SIZE extent{};
    if (flags & (FontCentred | FontCentredVertical)) {
        MeasureText(text, &extent);
        if (flags & FontCentred)
            startX = x + (int64_t{right} - x - extent.cx) / 2;
        if (flags & FontCentredVertical)
            startY = y + (int64_t{bottom} - y - extent.cy) / 2;
    }
    if (flags & FontRightAligned) {
        MeasureText(text, &extent);
        startX += int64_t{right} - x - extent.cx;
    }
    float sx = static_cast<float>(startX);
    float sy = static_cast<float>(startY);

    float clipLeft = static_cast<float>(x);
    float clipTop = static_cast<float>(y);
    float clipRight = static_cast<float>(right);
    float clipBottom = static_cast<float>(bottom);
    if (clip) {
        clipLeft = std::fmax(clipLeft, static_cast<float>(clip->left));
        clipTop = std::fmax(clipTop, static_cast<float>(clip->top));
        clipRight = std::fmin(clipRight, static_cast<float>(clip->right));
        clipBottom = std::fmin(clipBottom, static_cast<float>(clip->bottom));
    }
    const float lineHeight = (glyphCoords[0].bottom - glyphCoords[0].top) * static_cast<float>(textureHeight);

    BYTE* data = nullptr;
    if (vertexBuffer->Lock(0, 0, &data, 0) != 0)
        data = nullptr;
    UINT triangles = 0;
    for (const char* p = text; *p && data; ++p) {
        const auto code = static_cast<unsigned char>(*p);
        if (code == '\n') {
            sx = std::trunc(static_cast<float>(startX));
            sy = std::trunc(sy + lineHeight);
            continue;
        }
        if (code < 32 || code > 127)
            continue;
        GlyphCoords uv = glyphCoords[code - 32];
        const float du = uv.right - uv.left;
        const float dv = uv.bottom - uv.top;
        const float w = du * static_cast<float>(textureWidth) / textScale;
        const float h = dv * static_cast<float>(textureHeight) / textScale;
        float x1 = sx;
        float y1 = sy;
        float x2 = std::trunc(sx + w);
        float y2 = std::trunc(sy + h);
        const bool outside = clipLeft >= x2 || clipRight <= sx || clipTop >= y2 || clipBottom <= sy;
        if (!outside) {
            // a glyph cut by the clip keeps its scale: the texture rectangle shrinks with it
            if (x1 < clipLeft) {
                uv.left += (clipLeft - x1) * du / w;
                x1 = clipLeft;
            }
            if (x2 > clipRight) {
                uv.right -= (x2 - clipRight) * du / w;
                x2 = clipRight;
            }
            if (y1 < clipTop) {
                uv.top += (clipTop - y1) * dv / h;
                y1 = clipTop;
            }
            if (y2 > clipBottom) {
                uv.bottom -= (y2 - clipBottom) * dv / h;
                y2 = clipBottom;
            }
            EmitGlyph(reinterpret_cast<ScreenVertex*>(data) + triangles * 3, x1, y1, x2, y2, uv, topColour,
                      bottomColour);
            triangles += 2;
            if (triangles * 3 > kBatchVertices - 6) {
                vertexBuffer->Unlock();
                device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
                triangles = 0;
                if (vertexBuffer->Lock(0, 0, &data, 0) != 0)
                    data = nullptr;
            }
        }
        sx = std::trunc(sx + w);
    }
    if (data) {
        vertexBuffer->Unlock();
        if (triangles > 0)
            device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
    }
    device->ApplyStateBlock(savedState);
    return 0;
}
