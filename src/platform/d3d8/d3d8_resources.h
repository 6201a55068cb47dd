// Internal to the platform layer: the device's resources. Textures keep their
// texels in the format they were created with (what LockRect exposes) and,
// for formats other than A8R8G8B8, a widened 0xAARRGGBB copy of each level
// that the rasterizer samples; UnlockRect refreshes that copy.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/raster/raster.h"

#include <cstdint>
#include <vector>

namespace platform {

// COM-style counting shared by the substitute's objects: created with one
// reference, deleted by the Release that drops the last.
template <class Interface> class RefCounted : public Interface {
  public:
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override {
        const uint32_t left = --references;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  protected:
    ~RefCounted() override = default;

  private:
    uint32_t references = 1;
};

class Texture final : public RefCounted<IDirect3DTexture8> {
  public:
    // Any size from 1 x 1 to 4096 x 4096; levels 0 makes the full chain down
    // to 1 x 1. Formats A8R8G8B8, X8R8G8B8 and A4R4G4B4; texels start zero.
    static HRESULT Create(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          Texture** texture);
    static bool IsSupportedFormat(D3DFORMAT format);

    DWORD GetLevelCount() override;
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    // One lock per level at a time; rect (null for the whole level) must lie
    // inside the level. pBits points at the rect's first texel, Pitch is the
    // level's row length in bytes.
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    // What the rasterizer samples.
    const RasterTexture& View() const { return view; }

  private:
    struct Level {
        UINT width = 0, height = 0;
        std::vector<uint32_t> bits;    // the texels as created, rows of width x bytesPerTexel
        std::vector<uint32_t> widened; // 0xAARRGGBB, unless the format already is
        bool locked = false;
        bool readOnly = false;
    };

    Texture() = default;
    UINT Pitch(const Level& level) const;
    void Widen(UINT index);

    D3DFORMAT format = D3DFMT_A8R8G8B8;
    DWORD usage = 0;
    D3DPOOL pool = D3DPOOL_MANAGED;
    std::vector<Level> levels;
    RasterTexture view;
};

class VertexBuffer final : public RefCounted<IDirect3DVertexBuffer8> {
  public:
    explicit VertexBuffer(UINT length) : bytes(length, 0) {}

    // offset + size must lie inside the buffer; locks may nest.
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD flags) override;
    HRESULT Unlock() override;

    const uint8_t* Data() const { return bytes.data(); }
    UINT Length() const { return static_cast<UINT>(bytes.size()); }

  private:
    std::vector<uint8_t> bytes;
    uint32_t lockCount = 0;
};

// The back buffer as GetBackBuffer hands it out: a description only.
class Surface final : public RefCounted<IDirect3DSurface8> {
  public:
    explicit Surface(const D3DSURFACE_DESC& desc) : desc(desc) {}
    HRESULT GetDesc(D3DSURFACE_DESC* out) override;

  private:
    D3DSURFACE_DESC desc;
};

} // namespace platform
