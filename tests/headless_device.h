// The presentation the test scenes create their offscreen device with: a
// windowed 32-bit back buffer of the given size with a 16-bit depth buffer.
#pragma once

#include "platform/d3d8/d3d8.h"

inline D3DPRESENT_PARAMETERS HeadlessPresentParams(UINT width, UINT height) {
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = width;
    params.BackBufferHeight = height;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    params.BackBufferCount = 1;
    params.SwapEffect = D3DSWAPEFFECT_DISCARD;
    params.Windowed = 1;
    params.EnableAutoDepthStencil = 1;
    params.AutoDepthStencilFormat = D3DFMT_D16;
    return params;
}
