#include "platform/d3d8/d3dx8.h"
#include "platform/image_test_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

int liveTextures = 0;

// A texture whose levels are plain byte arrays with a padded pitch, so a
// loader that ignores the pitch shows up.
class FakeTexture : public IDirect3DTexture8 {
  public:
    FakeTexture(UINT width, UINT height, UINT levels, D3DFORMAT format, int failingLevel)
        : format_(format), failingLevel_(failingLevel) {
        ++liveTextures;
        for (UINT i = 0; i < levels; ++i) {
            const UINT w = std::max(width >> i, 1u), h = std::max(height >> i, 1u);
            pitch_.push_back(static_cast<int>(w * TexelBytes()) + 8);
            sizes_.push_back({w, h});
            bits_.emplace_back(static_cast<size_t>(pitch_.back()) * h, 0xCD);
        }
    }
    uint32_t AddRef() override { return ++references_; }
    uint32_t Release() override {
        const uint32_t left = --references_;
        if (left == 0) {
            --liveTextures;
            delete this;
        }
        return left;
    }
    DWORD GetLevelCount() override { return static_cast<DWORD>(bits_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override {
        if (level >= bits_.size()) {
            return D3DERR_INVALIDCALL;
        }
        *desc = D3DSURFACE_DESC{format_,
                                D3DRTYPE_SURFACE,
                                0,
                                D3DPOOL_MANAGED,
                                0,
                                D3DMULTISAMPLE_NONE,
                                sizes_[level].first,
                                sizes_[level].second};
        return D3D_OK;
    }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT*, DWORD) override {
        if (level >= bits_.size() || static_cast<int>(level) == failingLevel_) {
            return D3DERR_INVALIDCALL;
        }
        locked->Pitch = pitch_[level];
        locked->pBits = bits_[level].data();
        return D3D_OK;
    }
    HRESULT UnlockRect(UINT) override { return D3D_OK; }

    size_t TexelBytes() const { return format_ == D3DFMT_A4R4G4B4 ? 2 : 4; }
    uint32_t Texel(UINT level, UINT x, UINT y) const {
        const uint8_t* at = bits_[level].data() + static_cast<size_t>(y) * pitch_[level] + x * TexelBytes();
        uint32_t value = 0;
        std::memcpy(&value, at, TexelBytes());
        return value;
    }
    std::pair<UINT, UINT> Size(UINT level) const { return sizes_[level]; }

  private:
    D3DFORMAT format_;
    int failingLevel_;
    uint32_t references_ = 1;
    std::vector<int> pitch_;
    std::vector<std::pair<UINT, UINT>> sizes_;
    std::vector<std::vector<uint8_t>> bits_;
};

// Only CreateTexture does anything.
class FakeDevice : public IDirect3DDevice8 {
  public:
    int failingLevel = -1;
    UINT requestedLevels = 0;
    int creations = 0;

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD, D3DFORMAT format, D3DPOOL,
                          IDirect3DTexture8** texture) override {
        ++creations;
        requestedLevels = levels;
        *texture = new FakeTexture(width, height, levels, format, failingLevel);
        return D3D_OK;
    }
    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 1; }
    HRESULT TestCooperativeLevel() override { return E_NOTIMPL; }
    HRESULT GetDeviceCaps(D3DCAPS8*) override { return E_NOTIMPL; }
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8**) override { return E_NOTIMPL; }
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override { return E_NOTIMPL; }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override { return E_NOTIMPL; }
    HRESULT BeginScene() override { return E_NOTIMPL; }
    HRESULT EndScene() override { return E_NOTIMPL; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return E_NOTIMPL; }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE, const D3DMATRIX*) override { return E_NOTIMPL; }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE, D3DMATRIX*) override { return E_NOTIMPL; }
    HRESULT SetMaterial(const D3DMATERIAL8*) override { return E_NOTIMPL; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE, DWORD) override { return E_NOTIMPL; }
    HRESULT GetRenderState(D3DRENDERSTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT SetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD) override { return E_NOTIMPL; }
    HRESULT GetTextureStageState(DWORD, D3DTEXTURESTAGESTATETYPE, DWORD*) override { return E_NOTIMPL; }
    HRESULT SetTexture(DWORD, IDirect3DBaseTexture8*) override { return E_NOTIMPL; }
    HRESULT CreateVertexBuffer(UINT, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8**) override {
        return E_NOTIMPL;
    }
    HRESULT SetStreamSource(UINT, IDirect3DVertexBuffer8*, UINT) override { return E_NOTIMPL; }
    HRESULT SetVertexShader(DWORD) override { return E_NOTIMPL; }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE, UINT, UINT) override { return E_NOTIMPL; }
    HRESULT BeginStateBlock() override { return E_NOTIMPL; }
    HRESULT EndStateBlock(DWORD*) override { return E_NOTIMPL; }
    HRESULT ApplyStateBlock(DWORD) override { return E_NOTIMPL; }
    HRESULT CaptureStateBlock(DWORD) override { return E_NOTIMPL; }
    HRESULT DeleteStateBlock(DWORD) override { return E_NOTIMPL; }
    BOOL ShowCursor(BOOL) override { return FALSE; }
    void SetCursorPosition(int, int, DWORD) override {}
};

class D3dxTexture : public ::testing::Test {
  protected:
    void TearDown() override {
        for (const std::string& path : written_) {
            std::remove(path.c_str());
        }
        EXPECT_EQ(liveTextures, 0);
    }

    std::string Write(const char* name, const image_test::Bytes& bytes) {
        const std::string path = (std::filesystem::temp_directory_path() / name).string();
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        written_.push_back(path);
        return path;
    }

    HRESULT Load(const std::string& path, D3DCOLOR key, FakeTexture** texture, UINT mipLevels = 0,
                 D3DFORMAT format = D3DFMT_A8R8G8B8, UINT width = 0, UINT height = 0,
                 D3DXIMAGE_INFO* info = nullptr) {
        IDirect3DTexture8* created = reinterpret_cast<IDirect3DTexture8*>(&device);
        const HRESULT result = D3DXCreateTextureFromFileExA(&device, path.c_str(), width, height, mipLevels,
                                                            0, format, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                            D3DX_DEFAULT, key, info, nullptr, &created);
        *texture = static_cast<FakeTexture*>(created);
        return result;
    }

    FakeDevice device;
    std::vector<std::string> written_;
};

// 5 x 3 RGB: opaque black and opaque magenta texels in a known pattern.
image_test::Bytes KeyTestBmp() {
    image_test::BmpLayout layout;
    layout.width = 5;
    layout.height = 3;
    for (int i = 0; i < 15; ++i) {
        const bool magenta = i % 2 == 0;
        layout.rows.insert(layout.rows.end(), {uint8_t(magenta ? 255 : 0), 0, uint8_t(magenta ? 255 : 0)});
        if (i % 5 == 4) {
            layout.rows.insert(layout.rows.end(), {0});
        }
    }
    return image_test::MakeBmp(layout);
}

} // namespace

TEST_F(D3dxTexture, FileSizeFullChainAndSourceInfo) {
    const std::string path = Write("backfire_d3dx_rgba.png", image_test::SmallRgbaPng());
    FakeTexture* texture = nullptr;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(Load(path, 0, &texture, 0, D3DFMT_A8R8G8B8, 0, 0, &info), D3D_OK);
    EXPECT_EQ(device.requestedLevels, 2u) << "3 x 2, then 1 x 1";
    EXPECT_EQ(texture->Size(0), (std::pair<UINT, UINT>{3, 2}));
    EXPECT_EQ(texture->Texel(0, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(texture->Texel(0, 0, 1), 0x80FFFFFFu);
    EXPECT_EQ(texture->Texel(0, 2, 1), 0xFF5A5A5Au);
    // The 1 x 1 level boxes the top-left 2 x 2: red, green, half white, clear.
    EXPECT_EQ(texture->Texel(1, 0, 0), 0xA0808040u);
    EXPECT_EQ(info.Width, 3u);
    EXPECT_EQ(info.Height, 2u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_PNG);
    texture->Release();

    ASSERT_EQ(Load(path, 0, &texture, D3DX_DEFAULT, D3DFMT_A8R8G8B8, D3DX_DEFAULT, D3DX_DEFAULT), D3D_OK);
    EXPECT_EQ(texture->Size(0), (std::pair<UINT, UINT>{3, 2}));
    texture->Release();
}

TEST_F(D3dxTexture, MipChainLengthsFollowTheLongerSide) {
    image_test::BmpLayout layout;
    layout.width = 256;
    layout.height = 4;
    layout.rows.assign(256 * 3 * 4, 0x40);
    const std::string path = Write("backfire_d3dx_wide.bmp", image_test::MakeBmp(layout));
    FakeTexture* texture = nullptr;
    ASSERT_EQ(Load(path, 0, &texture), D3D_OK);
    EXPECT_EQ(device.requestedLevels, 9u);
    EXPECT_EQ(texture->Size(2), (std::pair<UINT, UINT>{64, 1}));
    EXPECT_EQ(texture->Size(8), (std::pair<UINT, UINT>{1, 1}));
    EXPECT_EQ(texture->Texel(8, 0, 0), 0xFF404040u);
    texture->Release();

    ASSERT_EQ(Load(path, 0, &texture, 3), D3D_OK);
    EXPECT_EQ(device.requestedLevels, 3u);
    texture->Release();
    ASSERT_EQ(Load(path, 0, &texture, 40), D3D_OK);
    EXPECT_EQ(device.requestedLevels, 9u) << "more levels than the chain has";
    texture->Release();
}

TEST_F(D3dxTexture, ColourKeyMatchesExactOpaqueColourOnly) {
    const std::string path = Write("backfire_d3dx_key.bmp", KeyTestBmp());
    FakeTexture* texture = nullptr;
    ASSERT_EQ(Load(path, 0xFFFF00FF, &texture, 1), D3D_OK);
    EXPECT_EQ(texture->Texel(0, 0, 2), 0x00000000u) << "stored first, shown at the bottom";
    EXPECT_EQ(texture->Texel(0, 1, 2), 0xFF000000u);
    texture->Release();

    ASSERT_EQ(Load(path, 0xFF000000, &texture, 1), D3D_OK);
    EXPECT_EQ(texture->Texel(0, 0, 2), 0xFFFF00FFu);
    EXPECT_EQ(texture->Texel(0, 1, 2), 0x00000000u);
    texture->Release();

    ASSERT_EQ(Load(path, 0x00FF00FF, &texture, 1), D3D_OK);
    EXPECT_EQ(texture->Texel(0, 0, 2), 0xFFFF00FFu) << "a key with alpha 0 never matches an opaque texel";
    texture->Release();

    const std::string rgba = Write("backfire_d3dx_rgba_key.png", image_test::SmallRgbaPng());
    ASSERT_EQ(Load(rgba, 0xFFFFFFFF, &texture, 1), D3D_OK);
    EXPECT_EQ(texture->Texel(0, 0, 1), 0x80FFFFFFu) << "half-transparent white is not opaque white";
    texture->Release();
}

TEST_F(D3dxTexture, FourBitFormatAndPointScaling) {
    const std::string path = Write("backfire_d3dx_small.bmp", image_test::SmallBmp());
    FakeTexture* texture = nullptr;
    ASSERT_EQ(Load(path, 0, &texture, 1, D3DFMT_A4R4G4B4), D3D_OK);
    EXPECT_EQ(texture->Texel(0, 0, 0), 0xFF00u);
    EXPECT_EQ(texture->Texel(0, 1, 1), 0xFFFFu);
    texture->Release();

    ASSERT_EQ(Load(path, 0, &texture, 1, D3DFMT_A8R8G8B8, 4, 1), D3D_OK);
    EXPECT_EQ(texture->Size(0), (std::pair<UINT, UINT>{4, 1}));
    EXPECT_EQ(texture->Texel(0, 1, 0), 0xFFFF0000u);
    EXPECT_EQ(texture->Texel(0, 2, 0), 0xFF00FF00u);
    texture->Release();
}

TEST_F(D3dxTexture, FailuresCreateNothing) {
    FakeTexture* texture = nullptr;
    EXPECT_EQ(Load("/nonexistent/backfire/art.png", 0, &texture), E_FAIL);
    EXPECT_EQ(texture, nullptr);

    image_test::Bytes truncated = image_test::SmallRgbaPng();
    truncated.resize(truncated.size() - 5);
    EXPECT_EQ(Load(Write("backfire_d3dx_cut.png", truncated), 0, &texture), E_FAIL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(device.creations, 0);

    const std::string path = Write("backfire_d3dx_ok.png", image_test::SmallRgbaPng());
    EXPECT_EQ(Load(path, 0, &texture, 0, D3DFMT_R5G6B5), D3DERR_INVALIDCALL);
    device.failingLevel = 1;
    EXPECT_EQ(Load(path, 0, &texture), E_FAIL);
    EXPECT_EQ(texture, nullptr) << "a level that cannot be filled releases the texture";
    EXPECT_EQ(D3DXCreateTextureFromFileExA(nullptr, path.c_str(), 0, 0, 0, 0, D3DFMT_A8R8G8B8,
                                           D3DPOOL_MANAGED, 0, 0, 0, nullptr, nullptr, nullptr),
              D3DERR_INVALIDCALL);
}
