#include "game/ring_mesh.h"

#include <algorithm>
#include <cmath>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/video_list.h"

RingMesh::RingMesh(int32_t segments, const char* textureFile) : segments(std::max(segments, 3)) {
    vertices = std::make_unique<VideoDataObject>(
        static_cast<int32_t>(sizeof(ScreenVertex)) * 6 * this->segments, ScreenVertexFormat);
    texture = std::make_unique<VideoDataObject>(textureFile, 0xFF000000u);
}

RingMesh::~RingMesh() = default;

void RingMesh::Draw(float x, float y, float outerRadius, float innerRadius, int32_t r, int32_t g, int32_t b,
                    int32_t a, float rotation) {
    if (!(outerRadius > 0.0f))
        return;
    IDirect3DDevice8* device = TheApplication ? TheApplication->device : nullptr;
    if (!device || !vertices->vertexBuffer)
        return;
    BYTE* data = nullptr;
    if (vertices->vertexBuffer->Lock(0, 0, &data, 0) != 0 || !data)
        return;
    auto* out = reinterpret_cast<ScreenVertex*>(data);
    const uint32_t colour = PackColour(r, g, b, a);
    const float pi = 3.14159265358979f;
    const float halfSegments = static_cast<float>(segments / 2);
    auto point = [&](int32_t i, float radius, float u, float v) {
        const float angle = static_cast<float>(i % segments) / halfSegments * pi + rotation;
        return ScreenVertex{
            x + radius * std::sin(angle), y - radius * std::cos(angle), 0.0f, 1.0f, colour, u, v};
    };
    for (int32_t i = 0; i < segments; ++i) {
        const ScreenVertex outerA = point(i, outerRadius, 0.0f, 0.0f);
        const ScreenVertex outerB = point(i + 1, outerRadius, 1.0f, 0.0f);
        const ScreenVertex innerA = point(i, innerRadius, 0.0f, 1.0f);
        const ScreenVertex innerB = point(i + 1, innerRadius, 1.0f, 1.0f);
        ScreenVertex* quad = out + 6 * i;
        quad[0] = outerA;
        quad[1] = outerB;
        quad[2] = innerA;
        quad[3] = innerA;
        quad[4] = outerB;
        quad[5] = innerB;
    }
    vertices->vertexBuffer->Unlock();
    device->SetTexture(0, texture->texture);
    device->SetVertexShader(ScreenVertexFormat);
    device->SetStreamSource(0, vertices->vertexBuffer, sizeof(ScreenVertex));
    device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(2 * segments));
    device->SetTexture(0, nullptr);
}
