#include "platform/d3d8/d3d8_resources.h"

#include <algorithm>

namespace platform {
namespace {

constexpr UINT kMaxTextureSize = 4096;

UINT BytesPerTexel(D3DFORMAT format) {
    return format == D3DFMT_A4R4G4B4 ? 2 : 4;
}

UINT FullChainLength(UINT width, UINT height) {
    UINT count = 1;
    for (UINT size = std::max(width, height); size > 1; size /= 2) {
        ++count;
    }
    return count;
}

} // namespace

bool Texture::IsSupportedFormat(D3DFORMAT format) {
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_A4R4G4B4;
}

HRESULT Texture::Create(UINT width, UINT height, UINT levelCount, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                        Texture** texture) {
    if (texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *texture = nullptr;
    const UINT fullChain = FullChainLength(width, height);
    if (width == 0 || height == 0 || width > kMaxTextureSize || height > kMaxTextureSize ||
        !IsSupportedFormat(format) || levelCount > fullChain ||
        (usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL)) != 0) {
        return D3DERR_INVALIDCALL;
    }
    Texture* created = new Texture();
    created->format = format;
    created->usage = usage;
    created->pool = pool;
    created->levels.resize(levelCount == 0 ? fullChain : levelCount);
    created->view.levelCount = static_cast<int32_t>(created->levels.size());
    for (UINT i = 0; i < created->levels.size(); ++i) {
        Level& level = created->levels[i];
        level.width = std::max<UINT>(width >> i, 1);
        level.height = std::max<UINT>(height >> i, 1);
        const size_t words = (static_cast<size_t>(created->Pitch(level)) * level.height + 3) / 4;
        level.bits.assign(words, 0);
        if (format != D3DFMT_A8R8G8B8) {
            level.widened.assign(static_cast<size_t>(level.width) * level.height, 0);
        }
        created->Widen(i);
    }
    *texture = created;
    return D3D_OK;
}

UINT Texture::Pitch(const Level& level) const {
    return level.width * BytesPerTexel(format);
}

// Refreshes the sampled copy of a level and the rasterizer's view of it.
void Texture::Widen(UINT index) {
    Level& level = levels[index];
    RasterTextureLevel& out = view.levels[index];
    out.width = static_cast<int32_t>(level.width);
    out.height = static_cast<int32_t>(level.height);
    out.pitch = out.width;
    if (format == D3DFMT_A8R8G8B8) {
        out.texels = level.bits.data();
        return;
    }
    const size_t count = level.widened.size();
    if (format == D3DFMT_A4R4G4B4) {
        const auto* source = reinterpret_cast<const uint16_t*>(level.bits.data());
        for (size_t i = 0; i < count; ++i) {
            level.widened[i] = WidenA4R4G4B4(source[i]);
        }
    } else {
        for (size_t i = 0; i < count; ++i) {
            level.widened[i] = level.bits[i] | 0xFF000000u; // X8R8G8B8 has no alpha: opaque
        }
    }
    out.texels = level.widened.data();
}

DWORD Texture::GetLevelCount() {
    return static_cast<DWORD>(levels.size());
}

HRESULT Texture::GetLevelDesc(UINT index, D3DSURFACE_DESC* desc) {
    if (index >= levels.size() || desc == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const Level& level = levels[index];
    *desc = D3DSURFACE_DESC{
        format,      D3DRTYPE_SURFACE, usage, pool, Pitch(level) * level.height, D3DMULTISAMPLE_NONE,
        level.width, level.height};
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT index, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (index >= levels.size() || locked == nullptr || levels[index].locked) {
        return D3DERR_INVALIDCALL;
    }
    Level& level = levels[index];
    RECT area{0, 0, static_cast<LONG>(level.width), static_cast<LONG>(level.height)};
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            rect->right > area.right || rect->bottom > area.bottom) {
            return D3DERR_INVALIDCALL;
        }
        area = *rect;
    }
    const UINT pitch = Pitch(level);
    auto* base = reinterpret_cast<uint8_t*>(level.bits.data());
    locked->Pitch = static_cast<int>(pitch);
    locked->pBits =
        base + static_cast<size_t>(area.top) * pitch + static_cast<size_t>(area.left) * BytesPerTexel(format);
    level.locked = true;
    level.readOnly = (flags & D3DLOCK_READONLY) != 0;
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT index) {
    if (index >= levels.size() || !levels[index].locked) {
        return D3DERR_INVALIDCALL;
    }
    levels[index].locked = false;
    if (!levels[index].readOnly) {
        Widen(index);
    }
    return D3D_OK;
}

HRESULT VertexBuffer::Lock(UINT offset, UINT size, BYTE** data, DWORD) {
    const uint64_t end = static_cast<uint64_t>(offset) + size;
    if (data == nullptr || offset >= bytes.size() || end > bytes.size()) {
        return D3DERR_INVALIDCALL;
    }
    *data = bytes.data() + offset;
    ++lockCount;
    return D3D_OK;
}

HRESULT VertexBuffer::Unlock() {
    if (lockCount == 0) {
        return D3DERR_INVALIDCALL;
    }
    --lockCount;
    return D3D_OK;
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* out) {
    if (out == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *out = desc;
    return D3D_OK;
}

} // namespace platform
