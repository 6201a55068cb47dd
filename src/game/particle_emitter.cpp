#include "game/particle_emitter.h"

#include <algorithm>
#include <cmath>

#include "core/game_application.h"
#include "core/main_loop.h"
#include "engine/video_list.h"
#include "game/motion.h"
#include "game/play_field.h"

namespace {

constexpr float OffScreen = -1000.0f;

uint32_t ChannelByte(float channel) {
    if (channel >= 1.0f)
        return 255;
    if (!(channel > 0.0f))
        return 0;
    return static_cast<uint32_t>(channel * 255.0f + 0.5f);
}

ScreenVertex Corner(float x, float y, uint32_t colour, float u, float v) {
    return ScreenVertex{x, y, 0.0f, 1.0f, colour, u, v};
}

float Pick(float lo, float hi, float u) {
    return std::min(lo, hi) + u * std::fabs(hi - lo);
}

} // namespace

ParticleEmitter::ParticleEmitter(int32_t capacity, const char* textureFile, float size)
    : capacity(std::max(capacity, 1)), size(size) {
    particles = std::make_unique<Particle[]>(static_cast<size_t>(this->capacity));
    for (int32_t i = 0; i < this->capacity; ++i)
        particles[i] = Particle{0, 0, 0, 0, -1.0f, -1.0f, 0, 0, 0, 0};
    vertices = std::make_unique<VideoDataObject>(
        static_cast<int32_t>(sizeof(ScreenVertex)) * 3 * (this->capacity + 1), ScreenVertexFormat);
    texture = std::make_unique<VideoDataObject>(textureFile, 0xFF000000u);
    random.SetSeed(1);
}

ParticleEmitter::~ParticleEmitter() = default;

void ParticleEmitter::SetRanges(float angleLo, float angleHi, float speedLo, float speedHi, float lifeLo,
                                float lifeHi) {
    angleMin = angleLo;
    angleMax = angleHi;
    speedMin = speedLo;
    speedMax = speedHi;
    lifeMin = lifeLo;
    lifeMax = lifeHi;
}

void ParticleEmitter::SetOrigin(float x, float y) {
    originX = x;
    originY = y;
    hasOrigin = 1;
}

void ParticleEmitter::Emit(int32_t count, int32_t red, int32_t blue, int32_t green, int32_t alpha) {
    // Each slot is looked at once per call at most: coming back to the start
    // means the ring is full and the rest of the call is dropped.
    int32_t slot = ((nextSlot % capacity) + capacity) % capacity;
    int32_t examined = 0;
    for (int32_t n = 0; n < count; ++n) {
        while (examined < capacity && particles[slot].life >= 0.0f) {
            slot = (slot + 1) % capacity;
            ++examined;
        }
        if (examined >= capacity)
            break;
        Particle& p = particles[slot];
        p.x = originX;
        p.y = originY;
        p.life = Pick(lifeMin, lifeMax, static_cast<float>(random.NextUniform()));
        p.lifeStart = p.life;
        p.red = static_cast<float>(red) / 255.0f;
        p.green = static_cast<float>(green) / 255.0f;
        p.blue = static_cast<float>(blue) / 255.0f;
        p.alpha = static_cast<float>(alpha) / 255.0f;
        const float angle = Pick(angleMin, angleMax, static_cast<float>(random.NextUniform()));
        const float speed = Pick(speedMin, speedMax, static_cast<float>(random.NextUniform()));
        p.vx = speed * std::sin(angle);
        p.vy = speed * std::cos(angle);
        slot = (slot + 1) % capacity;
        ++examined;
    }
    nextSlot = slot;
}

void ParticleEmitter::Update(float step) {
    for (int32_t i = 0; i < capacity; ++i) {
        Particle& p = particles[i];
        if (p.life < 0.0f)
            continue;
        p.life -= step;
        if (fade) {
            p.blue *= 0.99f;
            p.green *= 0.99f;
            p.alpha *= 0.99f;
        }
        p.x += step * p.vx;
        p.y += step * p.vy;
    }
}

int32_t ParticleEmitter::CountLive() const {
    int32_t live = 0;
    for (int32_t i = 0; i < capacity; ++i)
        live += particles[i].life >= 0.0f ? 1 : 0;
    return live;
}

void ParticleEmitter::Draw() {
    IDirect3DDevice8* device = TheApplication ? TheApplication->device : nullptr;
    if (!device || !vertices->vertexBuffer)
        return;
    BYTE* data = nullptr;
    if (vertices->vertexBuffer->Lock(0, 0, &data, 0) != 0 || !data)
        return;
    auto* out = reinterpret_cast<ScreenVertex*>(data);
    const float half = size * 0.5f;
    const float extent = size * 1.5f;
    for (int32_t i = 0; i < capacity; ++i) {
        const Particle& p = particles[i];
        ScreenVertex* tri = out + 3 * i;
        if (p.life < 0.0f) {
            for (int32_t k = 0; k < 3; ++k)
                tri[k] = Corner(OffScreen, OffScreen, 0, 0.0f, 0.0f);
            continue;
        }
        const float scale = fadeByLife && p.lifeStart > 0.0f ? p.life / p.lifeStart : 1.0f;
        const uint32_t colour = (ChannelByte(p.alpha * scale) << 24) | (ChannelByte(p.red * scale) << 16) |
                                (ChannelByte(p.green * scale) << 8) | ChannelByte(p.blue * scale);
        float px = 0.0f;
        float py = 0.0f;
        WorldToScreen(p.x, p.y, &px, &py);
        px += shakeOffsetX;
        tri[0] = Corner(px - half, py - half, colour, 0.0f, 0.0f);
        tri[1] = Corner(px + extent, py - half, colour, 1.0f, 0.0f);
        tri[2] = Corner(px - half, py + extent, colour, 0.0f, 1.0f);
    }
    for (int32_t k = 0; k < 3; ++k)
        out[3 * capacity + k] = Corner(OffScreen, OffScreen, 0, 0.0f, 0.0f);
    vertices->vertexBuffer->Unlock();

    D3DCAPS8 caps{};
    device->GetDeviceCaps(&caps);
    const int32_t batch = std::max<int32_t>(1, static_cast<int32_t>(caps.MaxPrimitiveCount / 4));
    device->SetTexture(0, texture->texture);
    device->SetVertexShader(ScreenVertexFormat);
    device->SetStreamSource(0, vertices->vertexBuffer, sizeof(ScreenVertex));
    const int32_t total = capacity + 1;
    for (int32_t first = 0; first < total; first += batch) {
        const int32_t count = std::min(batch, total - first);
        device->DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<UINT>(3 * first), static_cast<UINT>(count));
    }
    device->SetTexture(0, nullptr);
}
