// A textured ring of quads between two circles, drawn in screen space.
#pragma once

#include <cstdint>
#include <memory>

class VideoDataObject;

class RingMesh {
  public:
    int32_t segments;
    std::unique_ptr<VideoDataObject> vertices; // segments x 6 vertices
    std::unique_ptr<VideoDataObject> texture;

    // Segments below 3 are raised to 3.
    RingMesh(int32_t segments, const char* textureFile);
    virtual ~RingMesh();

    RingMesh(const RingMesh&) = delete;
    RingMesh& operator=(const RingMesh&) = delete;

    // Screen position and radii in pixels, colour 0..255, rotation in radians.
    // Nothing when outerRadius <= 0. Uses the blend state the caller has set.
    virtual void Draw(float x, float y, float outerRadius, float innerRadius, int32_t r, int32_t g, int32_t b,
                      int32_t a, float rotation);
};
