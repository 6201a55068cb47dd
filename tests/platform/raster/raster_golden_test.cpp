#include "golden_compare.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_control.h"
#include "platform/os/run_mode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};

constexpr int kWidth = 160, kHeight = 120;

// Draws scenes through the device the way the game's sprite code does: one
// four-vertex strip rewritten per quad.
class GoldenScene : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3D, nullptr);
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = kWidth;
        params.BackBufferHeight = kHeight;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.Windowed = 1;
        params.EnableAutoDepthStencil = 1;
        params.AutoDepthStencilFormat = D3DFMT_D16;
        ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                         &params, &device),
                  D3D_OK);
        ASSERT_EQ(device->CreateVertexBuffer(6 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, 0x144,
                                             D3DPOOL_MANAGED, &quad),
                  D3D_OK);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetStreamSource(0, quad, sizeof(ScreenVertex));
        device->SetVertexShader(0x144);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF101828u, 1.0f, 0);
        device->BeginScene();
    }
    void TearDown() override {
        device->EndScene();
        device->SetStreamSource(0, nullptr, 0);
        device->SetTexture(0, nullptr);
        quad->Release();
        for (IDirect3DTexture8* texture : textures) {
            texture->Release();
        }
        device->Release();
        direct3D->Release();
    }

    // A texture filled by fill(x, y) -> 0xAARRGGBB.
    template <typename Fill> IDirect3DTexture8* MakeTexture(UINT w, UINT h, D3DFORMAT format, Fill fill) {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(w, h, 1, 0, format, D3DPOOL_MANAGED, &texture), D3D_OK);
        D3DLOCKED_RECT locked{};
        texture->LockRect(0, &locked, nullptr, 0);
        for (UINT y = 0; y < h; ++y) {
            auto* row = static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
            for (UINT x = 0; x < w; ++x) {
                const uint32_t c = fill(static_cast<int>(x), static_cast<int>(y));
                if (format == D3DFMT_A4R4G4B4) {
                    const auto packed = static_cast<uint16_t>((c >> 28) << 12 | ((c >> 20) & 0xF) << 8 |
                                                              ((c >> 12) & 0xF) << 4 | ((c >> 4) & 0xF));
                    std::memcpy(row + 2 * x, &packed, 2);
                } else {
                    std::memcpy(row + 4 * x, &c, 4);
                }
            }
        }
        texture->UnlockRect(0);
        textures.push_back(texture);
        return texture;
    }

    void Strip(const float* points, const float* uvs, uint32_t colour) {
        BYTE* data = nullptr;
        quad->Lock(0, 0, &data, 0);
        auto* v = reinterpret_cast<ScreenVertex*>(data);
        for (int k = 0; k < 4; ++k) {
            v[k] = ScreenVertex{points[2 * k], points[2 * k + 1], 0, 1, colour, uvs[2 * k], uvs[2 * k + 1]};
        }
        quad->Unlock();
        device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }

    void AlphaBlendState() {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
        device->SetRenderState(D3DRS_ALPHAREF, 8);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    }

    void Stage0(DWORD colourOp, DWORD alphaOp, DWORD filter) {
        device->SetTextureStageState(0, D3DTSS_COLOROP, colourOp);
        device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
        device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, filter);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, filter);
        device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    }

    // An axis-aligned rectangle mapped as the application maps a texture onto
    // a rectangle: u, v = size / (texture size - 1) at the far edges.
    void Rect(IDirect3DTexture8* texture, int left, int top, int right, int bottom, uint32_t colour) {
        float w = static_cast<float>(right - left), h = static_cast<float>(bottom - top);
        if (texture != nullptr) {
            D3DSURFACE_DESC desc{};
            texture->GetLevelDesc(0, &desc);
            w = static_cast<float>(desc.Width);
            h = static_cast<float>(desc.Height);
        }
        const float u = (right - left) / (w - 1), v = (bottom - top) / (h - 1);
        const float l = static_cast<float>(left), t = static_cast<float>(top), r = static_cast<float>(right),
                    b = static_cast<float>(bottom);
        const float points[8] = {l, t, r, t, l, b, r, b};
        const float uvs[8] = {0, 0, u, 0, 0, v, u, v};
        device->SetTexture(0, texture);
        Strip(points, uvs, colour);
    }

    // A texture rotated about its centre by angle (counter-clockwise on the
    // screen) and scaled.
    void Sprite(IDirect3DTexture8* texture, float cx, float cy, float angle, float scale, uint32_t colour) {
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        const float hw = static_cast<float>(desc.Width / 2), hh = static_cast<float>(desc.Height / 2);
        const float radius = std::sqrt(hw * hw + hh * hh) * scale;
        const float t = std::atan2(static_cast<float>(desc.Width), static_cast<float>(desc.Height));
        const float t2 = 3.1415927f - t;
        const float points[8] = {cx - radius * std::sin(angle + t),  cy - radius * std::cos(angle + t),
                                 cx - radius * std::sin(angle - t),  cy - radius * std::cos(angle - t),
                                 cx - radius * std::sin(angle + t2), cy - radius * std::cos(angle + t2),
                                 cx - radius * std::sin(angle - t2), cy - radius * std::cos(angle - t2)};
        const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        device->SetTexture(0, texture);
        Strip(points, uvs, colour);
    }

    void ExpectGolden(const char* name) {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        ASSERT_TRUE(platform::ReadBackBuffer(device, &pixels, &w, &h));
        EXPECT_TRUE(golden::MatchesGolden(name, pixels, w, h));
    }

    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
    IDirect3DVertexBuffer8* quad = nullptr;
    std::vector<IDirect3DTexture8*> textures;
};

// Tiles mapped texel for texel, keyed ship-like sprites turned and scaled,
// translucent untextured boxes with one-pixel borders, an A4R4G4B4 label.
TEST_F(GoldenScene, SpritesTilesAndBoxes) {
    IDirect3DTexture8* tile = MakeTexture(32, 32, D3DFMT_A8R8G8B8, [](int x, int y) {
        const bool star = (x * 7 + y * 13) % 29 == 0;
        return star ? 0xFFFFFFE0u : 0xFF000000u | static_cast<uint32_t>(20 + y * 2) << 8 | (40 + x * 3);
    });
    IDirect3DTexture8* ship = MakeTexture(24, 16, D3DFMT_A8R8G8B8, [](int x, int y) {
        const float dx = (x - 11.5f) / 12.0f, dy = (y - 7.5f) / 8.0f;
        if (dx * dx + dy * dy > 1.0f || (y < 4 && x > 16)) {
            return 0x00000000u; // keyed away
        }
        return x < 3 ? 0xFFFF4020u
                     : 0xFF000000u | static_cast<uint32_t>(160 + x * 4) << 16 | (100 + y * 8) << 8 | 200;
    });
    IDirect3DTexture8* label = MakeTexture(16, 8, D3DFMT_A4R4G4B4, [](int x, int y) {
        return ((x + y) % 4 == 0) ? 0x00000000u : 0xF0FFFFFFu - static_cast<uint32_t>(x) * 0x10;
    });

    AlphaBlendState();
    Stage0(D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTEXF_POINT);
    for (int top = -10; top < kHeight; top += 32) {
        for (int left = -20; left < kWidth; left += 32) {
            Rect(tile, left, top, left + 32, top + 32, 0xFFFFFFFFu);
        }
    }
    Rect(nullptr, 8, 70, 90, 112, 0x64203060u); // a window box
    Rect(nullptr, 8, 70, 90, 71, 0xFFC0C0FFu);  // and its border
    Rect(nullptr, 8, 111, 90, 112, 0xFFC0C0FFu);
    Rect(nullptr, 8, 70, 9, 112, 0xFFC0C0FFu);
    Rect(nullptr, 89, 70, 90, 112, 0xFFC0C0FFu);
    Rect(label, 14, 76, 30, 84, 0xFFFFFF80u);

    Stage0(D3DTOP_MODULATE, D3DTOP_MODULATE, D3DTEXF_POINT);
    Sprite(ship, 40, 30, 0.0f, 1.0f, 0xFFFFFFFFu);
    Sprite(ship, 80, 30, 3.1415927f / 2, 1.0f, 0xFFFFFFFFu);
    Sprite(ship, 120, 30, -0.6f, 1.5f, 0xFFFFC0C0u);
    Sprite(ship, 130, 85, 2.4f, 2.0f, 0x80FFFFFFu); // faded through the vertex alpha
    Sprite(ship, 60, 92, 0.3f, 0.5f, 0xFFFFFFFFu);
    ExpectGolden("raster_sprites.png");
}

// Gouraud and flat triangles, a textured ring strip, additive bilinear glows.
TEST_F(GoldenScene, ShadingRingsAndGlows) {
    IDirect3DTexture8* glow = MakeTexture(16, 16, D3DFMT_A8R8G8B8, [](int x, int y) {
        const float d = std::hypot(x - 7.5f, y - 7.5f) / 8.0f;
        const uint32_t v = d >= 1.0f ? 0u : static_cast<uint32_t>(255.0f * (1.0f - d) * (1.0f - d));
        return v << 24 | v << 16 | v << 8 | v;
    });
    IDirect3DTexture8* ring = MakeTexture(8, 4, D3DFMT_A8R8G8B8, [](int x, int y) {
        return 0xFF000000u | static_cast<uint32_t>(x * 32) << 16 | static_cast<uint32_t>(64 + y * 60) << 8 |
               0x80;
    });

    AlphaBlendState();
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    Stage0(D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTEXF_POINT);
    device->SetTexture(0, nullptr);
    const float fan[8] = {10, 10, 70, 14, 12, 60, 66, 56};
    const float none[8] = {};
    BYTE* data = nullptr;
    quad->Lock(0, 0, &data, 0);
    auto* v = reinterpret_cast<ScreenVertex*>(data);
    const uint32_t colours[4] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
    for (int k = 0; k < 4; ++k) {
        v[k] = ScreenVertex{fan[2 * k], fan[2 * k + 1], 0, 1, colours[k], none[2 * k], none[2 * k + 1]};
    }
    quad->Unlock();
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    const float flat[8] = {80, 10, 150, 10, 80, 60, 150, 40};
    Strip(flat, none, 0xFFE0A020u);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);

    // A ring of 12 segments, the unit square spread over each quad.
    AlphaBlendState();
    device->SetTexture(0, ring);
    for (int i = 0; i < 12; ++i) {
        const float a0 = i / 6.0f * 3.1415927f, a1 = (i + 1) / 6.0f * 3.1415927f;
        const float points[8] = {45 + 28 * std::sin(a0), 90 - 28 * std::cos(a0), 45 + 28 * std::sin(a1),
                                 90 - 28 * std::cos(a1), 45 + 18 * std::sin(a0), 90 - 18 * std::cos(a0),
                                 45 + 18 * std::sin(a1), 90 - 18 * std::cos(a1)};
        const float uvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};
        Strip(points, uvs, 0xC0FFFFFFu);
    }

    // Additive glows: linear filtering, flat shading, colour scaled.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    Stage0(D3DTOP_MODULATE, D3DTOP_MODULATE, D3DTEXF_LINEAR);
    const uint32_t tints[5] = {0xFFFF8040u, 0xFF40A0FFu, 0xFFFFFFFFu, 0x80FF4040u, 0xFF80FF80u};
    for (int k = 0; k < 5; ++k) {
        Sprite(glow, 95.0f + 12.0f * k, 75.0f + 6.0f * (k % 2), 0.2f * k, 1.5f + 0.4f * k, tints[k]);
    }
    Sprite(glow, 120, 85, 0.0f, 4.0f, 0xFF603020u); // overlapping glows saturate
    ExpectGolden("raster_effects.png");
}

} // namespace
