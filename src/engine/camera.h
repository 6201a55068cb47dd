// The view and projection transforms. The game draws only pre-transformed
// vertices, so the camera changes no picture; it keeps the device's transforms
// in the state the drawing code was written against.
#pragma once

#include "platform/d3d8/d3dx8.h"

class Camera {
  public:
    float yaw = 0.0f;
    float pitch = -0.3f;
    float roll = 0.0f;
    float x = 0.0f;
    float y = -50.0f;
    float z = 200.0f;
    D3DXMATRIX view{};
    float fieldOfView = 0.7853982f;
    float aspect = 1.3333334f;
    float nearPlane = 1.0f;
    float farPlane = 1000.0f;
    D3DXMATRIX projection{};

    // Defaults above; view starts as the identity.
    Camera();

    // projection = perspective of fieldOfView, aspect, nearPlane, farPlane.
    void UpdateProjection();
    // view = T(x, y, z) * Ry(pi - yaw) * Rx(pitch) * Rz(roll); sets it as the
    // view transform and `projection` as the projection transform.
    void Apply(IDirect3DDevice8* device);
};
