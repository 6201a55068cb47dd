#include "platform/d3d8/d3dx8.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;

// Row vector times matrix, as D3DX transforms points.
void Transform(const D3DXMATRIX& m, const float in[4], float out[4]) {
    for (int c = 0; c < 4; ++c) {
        out[c] = in[0] * m.m[0][c] + in[1] * m.m[1][c] + in[2] * m.m[2][c] + in[3] * m.m[3][c];
    }
}

void ExpectPoint(const D3DXMATRIX& m, std::initializer_list<float> in,
                 std::initializer_list<float> expected) {
    float out[4];
    Transform(m, std::data(in), out);
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(out[c], std::data(expected)[c], 1e-5f) << "component " << c;
    }
}

} // namespace

TEST(D3dxMatrix, RotationsTurnAxesTheLeftHandedWay) {
    D3DXMATRIX m;
    D3DXMatrixRotationZ(&m, kPi / 2);
    ExpectPoint(m, {1, 0, 0, 1}, {0, 1, 0, 1});
    D3DXMatrixRotationX(&m, kPi / 2);
    ExpectPoint(m, {0, 1, 0, 1}, {0, 0, 1, 1});
    D3DXMatrixRotationY(&m, kPi / 2);
    ExpectPoint(m, {0, 0, 1, 1}, {1, 0, 0, 1});
    EXPECT_FLOAT_EQ(m.m[0][2], -1.0f);
}

TEST(D3dxMatrix, MultiplyAppliesTheLeftFactorFirstEvenInPlace) {
    D3DXMATRIX translate, rotate, product;
    D3DXMatrixTranslation(&translate, 10, 0, 0);
    D3DXMatrixRotationZ(&rotate, kPi / 2);
    D3DXMatrixMultiply(&product, &translate, &rotate);
    ExpectPoint(product, {1, 0, 0, 1}, {0, 11, 0, 1});
    D3DXMatrixMultiply(&translate, &translate, &rotate);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(translate.m[r][c], product.m[r][c]);
        }
    }
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixMultiply(&product, &rotate, &identity);
    EXPECT_FLOAT_EQ(product.m[0][1], rotate.m[0][1]);
    EXPECT_FLOAT_EQ(identity.m[3][3], 1.0f);
    EXPECT_FLOAT_EQ(identity.m[3][0], 0.0f);
}

TEST(D3dxMatrix, PerspectiveMapsNearToZeroAndFarToOne) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, kPi / 2, 2.0f, 1.0f, 300.0f);
    EXPECT_NEAR(m.m[1][1], 1.0f, 1e-6f);
    EXPECT_NEAR(m.m[0][0], 0.5f, 1e-6f);
    EXPECT_FLOAT_EQ(m.m[2][3], 1.0f);
    EXPECT_FLOAT_EQ(m.m[3][3], 0.0f);
    float out[4];
    const float nearPoint[4] = {0, 0, 1, 1};
    Transform(m, nearPoint, out);
    EXPECT_NEAR(out[2] / out[3], 0.0f, 1e-6f);
    const float farPoint[4] = {0, 0, 300, 1};
    Transform(m, farPoint, out);
    EXPECT_NEAR(out[2] / out[3], 1.0f, 1e-5f);
}
