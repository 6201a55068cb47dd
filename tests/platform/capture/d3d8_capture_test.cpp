#include "headless_device.h"
#include "platform/capture/d3d8_capture.h"
#include "platform/d3d8/d3d8_control.h"
#include "platform/os/run_mode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};

constexpr UINT kWidth = 96, kHeight = 64;

class FrameCaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3D, nullptr);
        device = MakeDevice();
        ASSERT_NE(device, nullptr);
    }
    void TearDown() override {
        if (device != nullptr) {
            EXPECT_EQ(device->Release(), 0u);
        }
        direct3D->Release();
    }

    IDirect3DDevice8* MakeDevice() {
        D3DPRESENT_PARAMETERS params = HeadlessPresentParams(kWidth, kHeight);
        IDirect3DDevice8* made = nullptr;
        EXPECT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                         &params, &made),
                  D3D_OK);
        return made;
    }

    // A 4 x 4 texture with a mip chain, alpha varying by texel.
    IDirect3DTexture8* Checker() {
        IDirect3DTexture8* texture = nullptr;
        EXPECT_EQ(device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
        for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
            D3DLOCKED_RECT locked{};
            EXPECT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
            const UINT side = 4 >> level;
            for (UINT y = 0; y < side; ++y) {
                auto* row =
                    reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
                for (UINT x = 0; x < side; ++x) {
                    row[x] = (x + y) % 2 == 0 ? 0xFFE02040u : (0x40u + 0x30u * x) << 24 | 0x20C0F0u;
                }
            }
            texture->UnlockRect(level);
        }
        return texture;
    }

    void Upload(const std::vector<ScreenVertex>& vertices) {
        BYTE* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, vertices.data(), vertices.size() * sizeof(ScreenVertex));
        buffer->Unlock();
    }

    // A frame using what the game's frames use: a cleared target and a
    // cleared rect, an alpha-tested blended textured strip, an additive
    // bilinear flat list, and an untextured translucent veil.
    void DrawFrame() {
        ASSERT_EQ(device->CreateVertexBuffer(64 * sizeof(ScreenVertex), 0, 0x144, D3DPOOL_MANAGED, &buffer),
                  D3D_OK);
        IDirect3DTexture8* texture = Checker();
        device->SetVertexShader(0x144);
        device->SetStreamSource(0, buffer, sizeof(ScreenVertex));
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030u, 1.0f, 0);
        const D3DRECT band{10, 5, 50, 12};
        device->Clear(1, &band, D3DCLEAR_TARGET, 0xFF808000u, 1.0f, 0);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
        device->SetRenderState(D3DRS_ALPHAREF, 0x60);
        device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        device->SetTexture(0, texture);
        device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
        device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        Upload({{3, 4, 0, 1, 0xFFFFFFFFu, 0, 0},
                {60, 2, 0, 1, 0xC0FF8080u, 2, 0},
                {5, 40, 0, 1, 0xFF80FF80u, 0, 2},
                {70, 50, 0, 1, 0xFFFFFFFFu, 2, 2}});
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);

        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
        Upload({{40, 10, 0, 1, 0xFF4080FFu, 0.1f, 0.2f},
                {90, 30, 0, 1, 0xFFFFFFFFu, 0.9f, 0.3f},
                {50, 60, 0, 1, 0xFFFFFFFFu, 0.4f, 0.95f},
                {20, 20, 0, 1, 0xFFFF0000u, 0, 0},
                {30, 20, 0, 1, 0xFFFF0000u, 1, 0},
                {20, 30, 0, 1, 0xFFFF0000u, 0, 1}});
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);

        device->SetTexture(0, nullptr);
        device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
        device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        Upload({{0, 0, 0, 1, 0x80000000u, 0, 0},
                {96, 0, 0, 1, 0x80000000u, 0, 0},
                {0, 64, 0, 1, 0x20FFFFFFu, 0, 0},
                {96, 64, 0, 1, 0x20FFFFFFu, 0, 0}});
        EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
        device->EndScene();
        texture->Release();
    }

    std::vector<uint32_t> BackBuffer(IDirect3DDevice8* of) {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        EXPECT_TRUE(platform::ReadBackBuffer(of, &pixels, &w, &h));
        return pixels;
    }

    // Draws the frame with a capture armed and presents it.
    std::vector<uint32_t> CaptureFrame(const std::string& path) {
        platform::ArmFrameCapture(path);
        DrawFrame();
        EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
        EXPECT_FALSE(platform::FrameCaptureArmed());
        device->SetStreamSource(0, nullptr, 0);
        buffer->Release();
        return BackBuffer(device);
    }

    std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
    IDirect3DVertexBuffer8* buffer = nullptr;
};

TEST_F(FrameCaptureTest, ReplayRedrawsThePresentedFrameOnEveryPath) {
    const std::string path = TempPath("round_trip.bfcf");
    const std::vector<uint32_t> original = CaptureFrame(path);

    platform::FrameCapture capture;
    std::string error;
    ASSERT_TRUE(platform::ReadFrameCapture(path, &capture, &error)) << error;
    EXPECT_EQ(capture.width, static_cast<int32_t>(kWidth));
    EXPECT_EQ(capture.height, static_cast<int32_t>(kHeight));
    EXPECT_EQ(capture.commands.size(), 5u); // two clears, three draws
    EXPECT_EQ(capture.TriangleCount(), 6u);
    EXPECT_EQ(capture.textures.size(), 1u); // the same texture drawn twice is kept once
    EXPECT_EQ(capture.textures[0].levels.size(), 3u);

    for (platform::ReplayPath path : {platform::ReplayPath::Fast, platform::ReplayPath::Reference}) {
        std::vector<uint32_t> pixels(size_t{kWidth} * kHeight, 0xFF000000u);
        const platform::RasterTarget target{pixels.data(), kWidth, kHeight, kWidth};
        EXPECT_GT(platform::ReplayIntoRaster(capture, path, target), 0);
        EXPECT_EQ(pixels, original);
    }

    IDirect3DDevice8* fresh = MakeDevice();
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(platform::ReplayIntoDevice(capture, fresh), D3D_OK);
    EXPECT_EQ(BackBuffer(fresh), original);
    EXPECT_EQ(fresh->Release(), 0u);
    std::remove(path.c_str());
}

TEST_F(FrameCaptureTest, EncodingIsStableAcrossAReadAndWrite) {
    const std::string path = TempPath("stable.bfcf");
    CaptureFrame(path);
    platform::FrameCapture capture;
    std::string error;
    ASSERT_TRUE(platform::ReadFrameCapture(path, &capture, &error)) << error;
    const std::vector<uint8_t> once = platform::EncodeFrameCapture(capture);
    platform::FrameCapture again;
    ASSERT_TRUE(platform::DecodeFrameCapture(once, &again, &error)) << error;
    EXPECT_EQ(platform::EncodeFrameCapture(again), once);
    std::remove(path.c_str());
}

TEST_F(FrameCaptureTest, NothingIsRecordedUnlessArmed) {
    const std::string path = TempPath("unarmed.bfcf");
    std::remove(path.c_str());
    DrawFrame();
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
    device->SetStreamSource(0, nullptr, 0);
    buffer->Release();
}

TEST_F(FrameCaptureTest, TruncatedOrCorruptFilesAreRefused) {
    const std::string path = TempPath("damaged.bfcf");
    CaptureFrame(path);
    platform::FrameCapture capture;
    std::string error;
    ASSERT_TRUE(platform::ReadFrameCapture(path, &capture, &error)) << error;
    const std::vector<uint8_t> good = platform::EncodeFrameCapture(capture);
    ASSERT_GT(good.size(), 40u);

    const auto refused = [&](const std::vector<uint8_t>& bytes) {
        platform::FrameCapture out;
        std::string reason;
        const bool accepted = platform::DecodeFrameCapture(bytes, &out, &reason);
        return !accepted && !reason.empty() && out.commands.empty() && out.textures.empty();
    };
    for (size_t length : {size_t{0}, size_t{3}, size_t{31}, size_t{32}, good.size() / 2, good.size() - 1}) {
        EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<int64_t>(length))))
            << "length " << length;
    }
    std::vector<uint8_t> padded = good;
    padded.push_back(0);
    EXPECT_TRUE(refused(padded));
    for (size_t at : {size_t{0}, size_t{4}, size_t{8}, size_t{16}, size_t{24}, size_t{40}, good.size() - 5}) {
        std::vector<uint8_t> flipped = good;
        flipped[at] ^= 0x5A;
        EXPECT_TRUE(refused(flipped)) << "byte " << at;
    }
    EXPECT_FALSE(platform::ReadFrameCapture(TempPath("missing.bfcf"), &capture, &error));
    std::remove(path.c_str());
}

// A body that passes the checksum but describes impossible contents (an
// unknown blend factor, a texture index past the table, a vertex count that
// does not match the primitives) is refused as well.
TEST_F(FrameCaptureTest, ImplausibleContentsAreRefused) {
    const std::string path = TempPath("contents.bfcf");
    CaptureFrame(path);
    platform::FrameCapture capture;
    std::string error;
    ASSERT_TRUE(platform::ReadFrameCapture(path, &capture, &error)) << error;
    platform::CapturedDraw& draw = std::get<platform::CapturedDraw>(capture.commands[2]);

    const auto refused = [&](const platform::FrameCapture& changed) {
        platform::FrameCapture out;
        return !platform::DecodeFrameCapture(platform::EncodeFrameCapture(changed), &out, &error);
    };
    platform::FrameCapture badBlend = capture;
    std::get<platform::CapturedDraw>(badBlend.commands[2]).state.srcBlend =
        static_cast<platform::RasterBlend>(10);
    EXPECT_TRUE(refused(badBlend));
    platform::FrameCapture badTexture = capture;
    std::get<platform::CapturedDraw>(badTexture.commands[2]).texture = 1;
    EXPECT_TRUE(refused(badTexture));
    platform::FrameCapture badCount = capture;
    std::get<platform::CapturedDraw>(badCount.commands[2]).primitiveCount = draw.primitiveCount + 1;
    EXPECT_TRUE(refused(badCount));
    platform::FrameCapture badSize = capture;
    badSize.width = 5000;
    EXPECT_TRUE(refused(badSize));
    std::remove(path.c_str());
}

} // namespace
