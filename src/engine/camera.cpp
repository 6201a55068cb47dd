#include "engine/camera.h"

namespace {

constexpr float kPi = 3.1415927f;

} // namespace

Camera::Camera() {
    D3DXMatrixIdentity(&view);
}

void Camera::UpdateProjection() {
    D3DXMatrixPerspectiveFovLH(&projection, fieldOfView, aspect, nearPlane, farPlane);
}

void Camera::Apply(IDirect3DDevice8* device) {
    D3DXMATRIX translation, turnY, turnX, turnZ, partial, turned;
    D3DXMatrixTranslation(&translation, x, y, z);
    D3DXMatrixRotationY(&turnY, kPi - yaw);
    D3DXMatrixRotationX(&turnX, pitch);
    D3DXMatrixRotationZ(&turnZ, roll);
    D3DXMatrixMultiply(&partial, &translation, &turnY);
    D3DXMatrixMultiply(&turned, &partial, &turnX);
    D3DXMatrixMultiply(&view, &turned, &turnZ);
    if (!device)
        return;
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
}
