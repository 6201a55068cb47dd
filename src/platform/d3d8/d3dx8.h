// The D3DX 8 utilities the game uses: the texture loader (PNG, JPEG and BMP)
// and the matrix helpers for the camera.
#pragma once

#include "platform/d3d8/d3d8.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

struct D3DXMATRIX : D3DMATRIX {};

// D3DXIMAGE_INFO::ImageFileFormat.
constexpr DWORD D3DXIFF_BMP = 0;
constexpr DWORD D3DXIFF_JPG = 1;
constexpr DWORD D3DXIFF_PNG = 3;

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    DWORD ImageFileFormat;
};

struct PALETTEENTRY {
    BYTE peRed, peGreen, peBlue, peFlags;
};

// Loads an image file into a new texture. width/height 0 take the file's size;
// texels equal to colourKey (ARGB) become transparent black. A missing,
// truncated or malformed file fails with an error and creates nothing.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, LPCSTR file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colourKey, D3DXIMAGE_INFO* sourceInfo,
                                     PALETTEENTRY* palette, IDirect3DTexture8** texture);

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar);
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
