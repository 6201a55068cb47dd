#include "game/game_view.h"

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/bitmap.h"
#include "engine/video_list.h"

GameView::GameView()
    : screenWidth(TheApplication ? TheApplication->GetScreenWidth() : 0),
      screenHeight(TheApplication ? TheApplication->GetScreenHeight() : 0) {}

GameView::~GameView() = default;

int32_t GameView::Tick() {
    return 0;
}

int32_t GameView::Draw() {
    return 0;
}

void GameView::ResetRenderStates() {
    IDirect3DDevice8* device = TheApplication ? TheApplication->device : nullptr;
    if (!device)
        return;
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_LIGHTING, TRUE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
}

void GameView::DrawZoomTrail(Bitmap* bitmap, float x, float y) {
    if (!bitmap)
        return;
    struct Step {
        float k;
        float scale;
        float side; // -1 before the centre (towards the point), +1 past it
    };
    static constexpr Step Steps[6] = {{1.0f, 0.7f, -1.0f}, {0.5f, 0.5f, -1.0f}, {0.3f, 0.3f, -1.0f},
                                      {0.1f, 0.6f, 1.0f},  {0.2f, 0.4f, 1.0f},  {0.4f, 1.0f, 1.0f}};
    const float cx = static_cast<float>(screenWidth / 2);
    const float cy = static_cast<float>(screenHeight / 2);
    for (const Step& step : Steps)
        bitmap->DrawRotatedGlow(cx + step.side * (cx - x) * step.k, cy + step.side * (cy - y) * step.k, 0.0f,
                                step.scale, 255, 255, 255, 255);
}

void GameView::FillScreenQuad(const float* points, int32_t r, int32_t g, int32_t b, int32_t a) {
    if (TheApplication)
        TheApplication->DrawTextureQuad(nullptr, points, PackColour(r, g, b, a), false);
}

void GameView::KeyDown(int32_t) {}

void GameView::KeyUp(int32_t, int32_t) {}

void GameView::MouseDown(int32_t) {}

void GameView::MouseUp(int32_t) {}
