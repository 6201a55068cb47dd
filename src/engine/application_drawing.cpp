// The application's drawing operations. Every one rewrites the four vertices
// of the shared sprite quad, sets the device state it needs and draws one
// strip of two triangles; nothing is batched, so later draws cover earlier ones.
#include "core/game_application.h"
#include "engine/video_list.h"

#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;

// Corners in strip order: top-left, top-right, bottom-left, bottom-right.
constexpr float kDefaultUvs[8] = {0, 0, 1, 0, 0, 1, 1, 1};

bool TextureSize(IDirect3DTexture8* texture, int32_t* width, int32_t* height) {
    D3DSURFACE_DESC desc{};
    if (!texture || texture->GetLevelDesc(0, &desc) != 0)
        return false;
    *width = static_cast<int32_t>(desc.Width);
    *height = static_cast<int32_t>(desc.Height);
    return true;
}

// The four corners' positions and texture coordinates as (x, y) and (u, v) pairs.
struct Quad {
    float points[8];
    float uvs[8];
};

Quad RectangleQuad(float left, float top, float right, float bottom, const float* uvs) {
    Quad quad{{left, top, right, top, left, bottom, right, bottom}, {}};
    for (int i = 0; i < 8; ++i)
        quad.uvs[i] = uvs[i];
    return quad;
}

Quad PointsQuad(const float* points, const float* uvs) {
    Quad quad{};
    for (int i = 0; i < 8; ++i) {
        quad.points[i] = points[i];
        quad.uvs[i] = uvs[i];
    }
    return quad;
}

void SetStage0(IDirect3DDevice8* device, DWORD colourOp, DWORD alphaOp) {
    device->SetTextureStageState(0, D3DTSS_COLOROP, colourOp);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, alphaOp);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
}

// Additive draws set only the operations; the arguments stay as the last
// alpha-blended draw left them.
void SetStage0OpsOnly(IDirect3DDevice8* device) {
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
}

void DisableStage1(IDirect3DDevice8* device) {
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

void SetPlainCoordinates(IDirect3DDevice8* device) {
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
}

// Texels with alpha below 8 of 255 are discarded; the rest blend over the picture.
void SetAlphaBlendState(IDirect3DDevice8* device) {
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAREF, 8);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_EDGEANTIALIAS, FALSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

// Blending and the alpha test stay as they were, so black adds nothing.
void SetAdditiveState(IDirect3DDevice8* device) {
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
}

// The drawing steps shared by every operation, in the device's call order.
class SpriteQuadDraw {
  public:
    explicit SpriteQuadDraw(GameApplication& app) : app(app) {}

    // Writes the quad and binds material and texture; false (device untouched)
    // when the sprite quad is missing or cannot be locked.
    bool Begin(IDirect3DTexture8* texture, const Quad& quad, uint32_t colour) {
        if (!app.device || !app.spriteQuad || app.spriteQuad->created != 1 || !TheVideoList)
            return false;
        auto* vertices = static_cast<ScreenVertex*>(TheVideoList->Lock(app.spriteQuad));
        if (!vertices)
            return false;
        for (int i = 0; i < 4; ++i)
            vertices[i] = {quad.points[2 * i], quad.points[2 * i + 1], 0.0f, 1.0f, colour,
                           quad.uvs[2 * i],    quad.uvs[2 * i + 1]};
        TheVideoList->Unlock(app.spriteQuad);
        app.device->SetMaterial(&app.material);
        app.device->SetTexture(0, texture);
        return true;
    }

    void Draw(bool pointFiltered) {
        app.device->SetStreamSource(0, app.spriteQuad->vertexBuffer, sizeof(ScreenVertex));
        app.device->SetVertexShader(ScreenVertexFormat);
        if (pointFiltered) {
            app.device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
            app.device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
            app.device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
        }
        app.device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }

  private:
    GameApplication& app;
};

} // namespace

void GameApplication::DrawTextureRect(IDirect3DTexture8* texture, int32_t left, int32_t top, int32_t right,
                                      int32_t bottom, uint32_t colour) {
    // spans in 64 bits: any two int32 edges have a defined distance
    const int64_t spanX = int64_t{right} - left;
    const int64_t spanY = int64_t{bottom} - top;
    int32_t width = 0;
    int32_t height = 0;
    float divisorX = static_cast<float>(spanX - 1);
    float divisorY = static_cast<float>(spanY - 1);
    if (TextureSize(texture, &width, &height)) {
        divisorX = static_cast<float>(width - 1);
        divisorY = static_cast<float>(height - 1);
    }
    // u and v reach 1 at the centre of the last texel for a rectangle of the
    // texture's own size; larger rectangles repeat it, smaller ones crop it.
    const float u = static_cast<float>(spanX) / divisorX;
    const float v = static_cast<float>(spanY) / divisorY;
    const float uvs[8] = {0, 0, u, 0, 0, v, u, v};
    SpriteQuadDraw draw(*this);
    if (!draw.Begin(texture,
                    RectangleQuad(static_cast<float>(left), static_cast<float>(top),
                                  static_cast<float>(right), static_cast<float>(bottom), uvs),
                    colour))
        return;
    SetStage0(device, D3DTOP_MODULATE, D3DTOP_SELECTARG1);
    SetAlphaBlendState(device);
    draw.Draw(true);
}

void GameApplication::DrawSprite(IDirect3DTexture8* texture, int32_t x, int32_t y, float angle, float scale,
                                 uint32_t colour, bool additive) {
    int32_t width = 0;
    int32_t height = 0;
    if (!TextureSize(texture, &width, &height))
        return;
    const float halfWidth = static_cast<float>(width / 2);
    const float halfHeight = static_cast<float>(height / 2);
    const float radius = std::sqrt(halfWidth * halfWidth + halfHeight * halfHeight) * scale;
    const float corner = std::atan2(static_cast<float>(width), static_cast<float>(height));
    const float opposite = kPi - corner;
    const float cx = static_cast<float>(x);
    const float cy = static_cast<float>(y);
    // A corner at angle a from straight up lies at (-sin a, -cos a) * radius, so
    // a growing angle turns the sprite counter-clockwise on the screen.
    const float points[8] = {
        cx - radius * std::sin(angle + corner),   cy - radius * std::cos(angle + corner),
        cx - radius * std::sin(angle - corner),   cy - radius * std::cos(angle - corner),
        cx - radius * std::sin(angle + opposite), cy - radius * std::cos(angle + opposite),
        cx - radius * std::sin(angle - opposite), cy - radius * std::cos(angle - opposite),
    };
    SpriteQuadDraw draw(*this);
    if (!draw.Begin(texture, PointsQuad(points, kDefaultUvs), colour))
        return;
    if (additive) {
        SetStage0OpsOnly(device);
        SetAdditiveState(device);
        DisableStage1(device);
    } else {
        SetStage0(device, D3DTOP_MODULATE, D3DTOP_MODULATE);
        SetAlphaBlendState(device);
        SetPlainCoordinates(device);
        DisableStage1(device);
    }
    draw.Draw(true);
    if (additive) {
        device->SetRenderState(D3DRS_LIGHTING, TRUE);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    }
}

void GameApplication::DrawTextureQuad(IDirect3DTexture8* texture, const float* points, uint32_t colour,
                                      bool additive) {
    if (!points)
        return;
    SpriteQuadDraw draw(*this);
    if (!draw.Begin(texture, PointsQuad(points, kDefaultUvs), colour))
        return;
    if (additive) {
        SetStage0OpsOnly(device);
        SetAdditiveState(device);
        DisableStage1(device);
    } else {
        SetStage0(device, D3DTOP_MODULATE, D3DTOP_SELECTARG1);
        SetAlphaBlendState(device);
    }
    draw.Draw(true);
}

void GameApplication::DrawMappedQuad(IDirect3DTexture8* texture, const float* points, const float* uvs,
                                     uint32_t colour) {
    if (!points || !uvs)
        return;
    SpriteQuadDraw draw(*this);
    if (!draw.Begin(texture, PointsQuad(points, uvs), colour))
        return;
    SetStage0(device, D3DTOP_MODULATE, D3DTOP_MODULATE);
    SetAlphaBlendState(device);
    SetPlainCoordinates(device);
    DisableStage1(device);
    draw.Draw(true);
}

void GameApplication::DrawPointer(IDirect3DTexture8* texture, int32_t dx, int32_t dy) {
    int32_t width = 0;
    int32_t height = 0;
    if (!TextureSize(texture, &width, &height))
        return;
    const float left = static_cast<float>(mouseX + dx);
    const float top = static_cast<float>(mouseY + dy);
    SpriteQuadDraw draw(*this);
    if (!draw.Begin(texture,
                    RectangleQuad(left, top, left + static_cast<float>(width),
                                  top + static_cast<float>(height), kDefaultUvs),
                    0xFFFFFFFFu))
        return;
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    draw.Draw(false);
}
