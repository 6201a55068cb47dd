#include "game/ray_burst.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/video_list.h"
#include "platform/os/crt_rand.h"

namespace {

constexpr float TwoPi = 6.28318530718f;
constexpr int32_t VertexCount = 3 * RayCount;

int32_t liveBursts = 0;
std::unique_ptr<VideoDataObject> rayVertices;

float RandomFraction() {
    return static_cast<float>(crt::rand()) / 32767.0f;
}

IDirect3DDevice8* Device() {
    return TheApplication != nullptr ? TheApplication->device : nullptr;
}

} // namespace

RayBurst::RayBurst() {
    for (int32_t i = 0; i < RayCount; ++i) {
        rayAngle[i] = RandomFraction() * TwoPi;
        raySpin[i] = RandomFraction() * 0.2f - 0.1f;
        rayWidth[i] = 0.1f + RandomFraction() * 0.4f;
    }
    if (liveBursts++ == 0)
        rayVertices = std::make_unique<VideoDataObject>(
            VertexCount * static_cast<int32_t>(sizeof(ScreenVertex)), ScreenVertexFormat);
}

RayBurst::~RayBurst() {
    if (--liveBursts == 0)
        rayVertices.reset();
}

void RayBurst::Draw(float x, float y, float radius, int32_t r, int32_t g, int32_t b, int32_t a) {
    if (!(radius > 0.0f))
        return;
    const uint32_t centre = PackColour(r, b, g, a);
    ScreenVertex vertices[VertexCount] = {};
    for (int32_t i = 0; i < RayCount; ++i) {
        rayAngle[i] += raySpin[i];
        const float alpha = rayAngle[i];
        const float back = alpha - rayWidth[i];
        vertices[3 * i] = {x, y, 0.0f, 1.0f, centre, 0.0f, 0.0f};
        vertices[3 * i + 1] = {
            x + radius * std::sin(alpha), y + radius * std::cos(alpha), 0.0f, 1.0f, 0u, 0.0f, 0.0f};
        vertices[3 * i + 2] = {
            x + radius * std::sin(back), y + radius * std::cos(back), 0.0f, 1.0f, 0u, 0.0f, 0.0f};
    }
    IDirect3DDevice8* device = Device();
    if (device == nullptr || !rayVertices || rayVertices->vertexBuffer == nullptr)
        return;
    BYTE* data = nullptr;
    if (rayVertices->vertexBuffer->Lock(0, 0, &data, 0) != 0 || data == nullptr)
        return;
    std::memcpy(data, vertices, sizeof(vertices));
    rayVertices->vertexBuffer->Unlock();
    device->SetTexture(0, nullptr);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
    device->SetStreamSource(0, rayVertices->vertexBuffer, sizeof(ScreenVertex));
    device->SetVertexShader(ScreenVertexFormat);
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, RayCount);
}
