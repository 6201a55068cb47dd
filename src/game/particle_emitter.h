// A fixed ring of particles, each drawn as one textured screen-space triangle.
// Particles start at the origin, fly straight, and are free again once their
// life has run out.
#pragma once

#include <cstdint>
#include <memory>

#include "core/random_generator.h"

class VideoDataObject;

struct Particle {
    float x;
    float y;
    float vx;
    float vy;
    float life; // below 0: free
    float lifeStart;
    float red; // channels 0..1
    float green;
    float blue;
    float alpha;
};

class ParticleEmitter {
  public:
    int32_t capacity;
    std::unique_ptr<VideoDataObject> vertices; // capacity + 1 triangles
    std::unique_ptr<Particle[]> particles;
    std::unique_ptr<VideoDataObject> texture;
    float originX = 0.0f;
    float originY = 0.0f;
    int32_t hasOrigin = 0;
    int32_t nextSlot = 0;
    int32_t fade = 1;
    int32_t fadeByLife = 0; // 1: Draw scales all four channels by life / lifeStart
    float size;
    float angleMin = 0.0f;
    float angleMax = 0.0f;
    float speedMin = 0.0f;
    float speedMax = 0.0f;
    float lifeMin = 0.0f;
    float lifeMax = 0.0f;
    RandomGenerator random;

    // Capacity below 1 is raised to 1. The texture is loaded with opaque black
    // as colour key; a missing file leaves the particles untextured.
    ParticleEmitter(int32_t capacity, const char* textureFile, float size);
    virtual ~ParticleEmitter();

    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    void SetRanges(float angleLo, float angleHi, float speedLo, float speedHi, float lifeLo, float lifeHi);
    void SetOrigin(float x, float y);
    // Colour channels 0..255; note the order red, blue, green. Takes free slots
    // from nextSlot on, cyclically; particles that find no free slot are dropped.
    void Emit(int32_t count, int32_t red, int32_t blue, int32_t green, int32_t alpha);
    void Update(float step);
    // Uses whatever blend state the caller has set.
    void Draw();

    int32_t CountLive() const;
};
