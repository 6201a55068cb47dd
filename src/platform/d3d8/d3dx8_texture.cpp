// The D3DX texture loader: decode, colour-key, size, build the mip chain and
// copy every level into a texture the device creates. Nothing is created, and
// *texture stays null, unless the whole texture was filled.
//
// Width and height 0 or D3DX_DEFAULT take the file's size as it is (no
// rounding to powers of two). Any other size scales the image with point
// sampling. Mip levels 0 or D3DX_DEFAULT ask for the full chain down to 1 x 1;
// each level is a 2 x 2 box filter of the one above. The filter arguments are
// accepted and not otherwise interpreted.
#include "platform/d3d8/d3dx8.h"
#include "platform/image/image_decode.h"
#include "platform/os/files.h"

#include <algorithm>
#include <cstring>

namespace {

struct Level {
    UINT width = 0;
    UINT height = 0;
    std::vector<uint32_t> argb;
};

Level ScaleNearest(const platform::DecodedImage& image, UINT width, UINT height) {
    Level level{width, height, std::vector<uint32_t>(size_t{width} * height)};
    for (UINT y = 0; y < height; ++y) {
        const size_t sourceY = size_t{y} * image.height / height;
        for (UINT x = 0; x < width; ++x) {
            const size_t sourceX = size_t{x} * image.width / width;
            level.argb[size_t{y} * width + x] = image.argb[sourceY * image.width + sourceX];
        }
    }
    return level;
}

// Each channel is the rounded mean of the 2 x 2 block above it (2 x 1 or
// 1 x 2 once one side has reached a single texel).
Level HalfSize(const Level& above) {
    Level level{std::max(above.width / 2, 1u), std::max(above.height / 2, 1u), {}};
    level.argb.resize(size_t{level.width} * level.height);
    const UINT stepX = above.width > 1 ? 2 : 1;
    const UINT stepY = above.height > 1 ? 2 : 1;
    for (UINT y = 0; y < level.height; ++y) {
        for (UINT x = 0; x < level.width; ++x) {
            uint32_t sums[4] = {};
            for (UINT dy = 0; dy < stepY; ++dy) {
                for (UINT dx = 0; dx < stepX; ++dx) {
                    const uint32_t texel = above.argb[size_t{y * stepY + dy} * above.width + x * stepX + dx];
                    for (int c = 0; c < 4; ++c) {
                        sums[c] += (texel >> (8 * c)) & 0xFF;
                    }
                }
            }
            const uint32_t count = stepX * stepY;
            uint32_t texel = 0;
            for (int c = 0; c < 4; ++c) {
                texel |= ((sums[c] + count / 2) / count) << (8 * c);
            }
            level.argb[size_t{y} * level.width + x] = texel;
        }
    }
    return level;
}

UINT FullChainLength(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT side = std::max(width, height); side > 1; side /= 2) {
        ++levels;
    }
    return levels;
}

// 8-bit channels to the nearest 4-bit ones (the device widens by 17).
uint16_t ToA4R4G4B4(uint32_t argb) {
    uint16_t packed = 0;
    for (int c = 0; c < 4; ++c) {
        const uint32_t value = (argb >> (8 * c)) & 0xFF;
        packed |= static_cast<uint16_t>(((value * 15 + 127) / 255) << (4 * c));
    }
    return packed;
}

HRESULT FillLevel(IDirect3DTexture8* texture, UINT index, const Level& level, D3DFORMAT format) {
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(index, &locked, nullptr, 0)) || locked.pBits == nullptr) {
        return E_FAIL;
    }
    const size_t texelBytes = format == D3DFMT_A4R4G4B4 ? 2 : 4;
    if (locked.Pitch < 0 || static_cast<size_t>(locked.Pitch) < level.width * texelBytes) {
        texture->UnlockRect(index);
        return E_FAIL;
    }
    auto* bytes = static_cast<uint8_t*>(locked.pBits);
    for (UINT y = 0; y < level.height; ++y) {
        uint8_t* row = bytes + size_t{y} * static_cast<size_t>(locked.Pitch);
        const uint32_t* source = level.argb.data() + size_t{y} * level.width;
        if (format == D3DFMT_A4R4G4B4) {
            for (UINT x = 0; x < level.width; ++x) {
                const uint16_t texel = ToA4R4G4B4(source[x]);
                std::memcpy(row + x * 2, &texel, 2);
            }
        } else {
            std::memcpy(row, source, level.width * 4);
        }
    }
    texture->UnlockRect(index);
    return D3D_OK;
}

DWORD FileFormatCode(platform::ImageFormat format) {
    switch (format) {
    case platform::ImageFormat::Jpeg:
        return D3DXIFF_JPG;
    case platform::ImageFormat::Png:
        return D3DXIFF_PNG;
    default:
        return D3DXIFF_BMP;
    }
}

} // namespace

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, LPCSTR file, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD,
                                     DWORD, D3DCOLOR colourKey, D3DXIMAGE_INFO* sourceInfo, PALETTEENTRY*,
                                     IDirect3DTexture8** texture) {
    if (texture != nullptr) {
        *texture = nullptr;
    }
    if (format == D3DFMT_UNKNOWN) {
        format = D3DFMT_A8R8G8B8;
    }
    if (device == nullptr || file == nullptr || texture == nullptr ||
        (format != D3DFMT_A8R8G8B8 && format != D3DFMT_A4R4G4B4)) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<uint8_t> bytes;
    platform::DecodedImage image;
    if (!platform::ReadImageFile(platform::ResolvePath(file), &bytes) ||
        !platform::DecodeImageMemory(bytes.data(), bytes.size(), &image)) {
        return E_FAIL;
    }
    const UINT fileWidth = static_cast<UINT>(image.width);
    const UINT fileHeight = static_cast<UINT>(image.height);
    const UINT targetWidth = width == 0 || width == D3DX_DEFAULT ? fileWidth : width;
    const UINT targetHeight = height == 0 || height == D3DX_DEFAULT ? fileHeight : height;
    if (!platform::ImageSizeAcceptable(targetWidth, targetHeight)) {
        return D3DERR_INVALIDCALL;
    }
    if (colourKey != 0) {
        // Decoded texels of an image without alpha carry 0xFF, so an opaque
        // key matches them exactly.
        for (uint32_t& texel : image.argb) {
            if (texel == colourKey) {
                texel = 0;
            }
        }
    }
    std::vector<Level> levels;
    if (targetWidth == fileWidth && targetHeight == fileHeight) {
        levels.push_back(Level{fileWidth, fileHeight, std::move(image.argb)});
    } else {
        levels.push_back(ScaleNearest(image, targetWidth, targetHeight));
    }
    const UINT fullChain = FullChainLength(targetWidth, targetHeight);
    const UINT levelCount =
        mipLevels == 0 || mipLevels == D3DX_DEFAULT ? fullChain : std::min(mipLevels, fullChain);
    while (levels.size() < levelCount) {
        levels.push_back(HalfSize(levels.back()));
    }

    IDirect3DTexture8* created = nullptr;
    const HRESULT result =
        device->CreateTexture(targetWidth, targetHeight, levelCount, usage, format, pool, &created);
    if (FAILED(result) || created == nullptr) {
        return FAILED(result) ? result : E_FAIL;
    }
    if (created->GetLevelCount() != levelCount) {
        created->Release();
        return E_FAIL;
    }
    for (UINT i = 0; i < levelCount; ++i) {
        if (FAILED(FillLevel(created, i, levels[i], format))) {
            created->Release();
            return E_FAIL;
        }
    }
    if (sourceInfo != nullptr) {
        *sourceInfo = D3DXIMAGE_INFO{fileWidth,
                                     fileHeight,
                                     1,
                                     1,
                                     D3DFMT_A8R8G8B8,
                                     D3DRTYPE_TEXTURE,
                                     FileFormatCode(platform::DetectImageFormat(bytes.data(), bytes.size()))};
    }
    *texture = created;
    return D3D_OK;
}
