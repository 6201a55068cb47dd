#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_control.h"
#include "platform/d3d8/presented_frame.h"
#include "platform/os/run_mode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};

D3DPRESENT_PARAMETERS WindowedParams(UINT width, UINT height) {
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = width;
    p.BackBufferHeight = height;
    p.BackBufferFormat = D3DFMT_X8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = 1;
    p.EnableAutoDepthStencil = 1;
    p.AutoDepthStencilFormat = D3DFMT_D16;
    return p;
}

class DeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3D, nullptr);
        D3DPRESENT_PARAMETERS params = WindowedParams(64, 48);
        ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                         &params, &device),
                  D3D_OK);
    }
    void TearDown() override {
        if (device != nullptr) {
            EXPECT_EQ(device->Release(), 0u);
        }
        direct3D->Release();
    }

    IDirect3DVertexBuffer8* Quad(float left, float top, float right, float bottom, uint32_t colour) {
        IDirect3DVertexBuffer8* buffer = nullptr;
        EXPECT_EQ(device->CreateVertexBuffer(4 * sizeof(ScreenVertex), D3DUSAGE_WRITEONLY, 0x144,
                                             D3DPOOL_MANAGED, &buffer),
                  D3D_OK);
        const ScreenVertex v[4] = {{left, top, 0, 1, colour, 0, 0},
                                   {right, top, 0, 1, colour, 1, 0},
                                   {left, bottom, 0, 1, colour, 0, 1},
                                   {right, bottom, 0, 1, colour, 1, 1}};
        BYTE* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        std::memcpy(data, v, sizeof v);
        EXPECT_EQ(buffer->Unlock(), D3D_OK);
        return buffer;
    }

    std::vector<uint32_t> Pixels() {
        std::vector<uint32_t> pixels;
        int w = 0, h = 0;
        EXPECT_TRUE(platform::ReadBackBuffer(device, &pixels, &w, &h));
        return pixels;
    }

    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
};

TEST_F(DeviceTest, BackBufferHasTheRequestedSizeAndFormat) {
    IDirect3DSurface8* surface = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(surface->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.Height, 48u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(surface->Release(), 0u);
    EXPECT_EQ(device->GetBackBuffer(1, D3DBACKBUFFER_TYPE_MONO, &surface), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, ClearAndPresentPublishTheFrameWithOpaqueAlpha) {
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00123456u, 1.0f, 0), D3D_OK);
    const D3DRECT partly{60, 40, 100, 100}; // clipped to the buffer
    ASSERT_EQ(device->Clear(1, &partly, D3DCLEAR_TARGET, 0xFFFF0000u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    std::vector<uint32_t> frame;
    int w = 0, h = 0;
    ASSERT_TRUE(platform::LastPresentedFrame(&frame, &w, &h));
    ASSERT_EQ(w, 64);
    ASSERT_EQ(h, 48);
    EXPECT_EQ(frame[0], 0xFF123456u);
    EXPECT_EQ(frame[39 * 64 + 63], 0xFF123456u);
    EXPECT_EQ(frame[40 * 64 + 60], 0xFFFF0000u);
    EXPECT_EQ(frame[47 * 64 + 63], 0xFFFF0000u);
    // An array with a count of zero clears nothing; a null one with a count
    // clears everything; an inverted rectangle is skipped, not its neighbours.
    const D3DRECT some[2] = {{10, 10, 0, 20}, {0, 0, 2, 2}};
    ASSERT_EQ(device->Clear(0, some, D3DCLEAR_TARGET, 0xFF00FF00u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Clear(2, some, D3DCLEAR_TARGET, 0xFF0000FFu, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_TRUE(platform::LastPresentedFrame(&frame, &w, &h));
    EXPECT_EQ(frame[1 * 64 + 1], 0xFF0000FFu);
    EXPECT_EQ(frame[15 * 64 + 5], 0xFF123456u);
    EXPECT_EQ(frame[47 * 64 + 63], 0xFFFF0000u);
    ASSERT_EQ(device->Clear(3, nullptr, D3DCLEAR_TARGET, 0xFF00FF00u, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    ASSERT_TRUE(platform::LastPresentedFrame(&frame, &w, &h));
    EXPECT_EQ(frame[47 * 64 + 63], 0xFF00FF00u);
    // Stencil needs a format with stencil bits.
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, StatesStartAtDirect3DDefaults) {
    DWORD value = 0;
    const std::pair<D3DRENDERSTATETYPE, DWORD> defaults[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE},
        {D3DRS_CULLMODE, D3DCULL_CCW},
        {D3DRS_SRCBLEND, D3DBLEND_ONE},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO},
        {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
        {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
        {D3DRS_LIGHTING, 1},
        {D3DRS_ALPHABLENDENABLE, 0},
        {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
    };
    for (const auto& [state, expected] : defaults) {
        ASSERT_EQ(device->GetRenderState(state, &value), D3D_OK);
        EXPECT_EQ(value, expected) << "render state " << state;
    }
    device->GetTextureStageState(0, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, DWORD{D3DTOP_MODULATE});
    device->GetTextureStageState(0, D3DTSS_ALPHAOP, &value);
    EXPECT_EQ(value, DWORD{D3DTOP_SELECTARG1});
    device->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, DWORD{D3DTOP_DISABLE});
    device->GetTextureStageState(3, D3DTSS_TEXCOORDINDEX, &value);
    EXPECT_EQ(value, 3u);
    D3DMATRIX m{};
    ASSERT_EQ(device->GetTransform(D3DTS_WORLD, &m), D3D_OK);
    EXPECT_EQ(m.m[0][0], 1.0f);
    EXPECT_EQ(m.m[3][2], 0.0f);
    EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(D3DRS_COUNT), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetTextureStageState(D3D_STAGE_COUNT, D3DTSS_COLOROP, 0), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, InAWindowTheDeviceIsNeverLostUnlessForced) {
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    ASSERT_TRUE(platform::ForceDeviceState(device, D3DERR_DEVICELOST));
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    D3DPRESENT_PARAMETERS params = WindowedParams(64, 48);
    EXPECT_EQ(device->Reset(&params), D3DERR_DEVICELOST);
    ASSERT_TRUE(platform::ForceDeviceState(device, D3DERR_DEVICENOTRESET));
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    EXPECT_FALSE(platform::ForceDeviceState(device, E_FAIL));
}

TEST_F(DeviceTest, ResetResizesKeepsResourcesAndRestoresDefaults) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    static_cast<uint32_t*>(locked.pBits)[5] = 0xFF00FF00u;
    texture->UnlockRect(0);
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);

    D3DPRESENT_PARAMETERS params = WindowedParams(100, 30);
    ASSERT_EQ(device->Reset(&params), D3D_OK);
    IDirect3DSurface8* surface = nullptr;
    device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &surface);
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    surface->Release();
    EXPECT_EQ(desc.Width, 100u);
    EXPECT_EQ(desc.Height, 30u);
    DWORD cull = 0;
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, DWORD{D3DCULL_CCW});

    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(static_cast<uint32_t*>(locked.pBits)[5], 0xFF00FF00u);
    texture->UnlockRect(0);
    // The reset unbound it, so this is the last reference.
    EXPECT_EQ(texture->Release(), 0u);

    params = WindowedParams(0, 0); // no window to take a size from
    EXPECT_EQ(device->Reset(&params), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, FullScreenNeedsAnOfferedMode) {
    D3DPRESENT_PARAMETERS params = WindowedParams(800, 600);
    params.Windowed = 0;
    EXPECT_EQ(device->Reset(&params), D3D_OK);
    params = WindowedParams(801, 600);
    params.Windowed = 0;
    EXPECT_EQ(device->Reset(&params), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, BoundTexturesOutliveTheirLastOutsideReference) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    device->SetTexture(0, texture);
    EXPECT_EQ(texture->Release(), 1u); // the device still holds it
    IDirect3DVertexBuffer8* quad = Quad(0, 0, 4, 4, 0xFFFFFFFFu);
    device->SetStreamSource(0, quad, sizeof(ScreenVertex));
    device->SetVertexShader(0x144);
    device->BeginScene();
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    device->EndScene();
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0);
    EXPECT_EQ(quad->Release(), 0u);
}

TEST_F(DeviceTest, DrawPrimitiveRefusesWhatItCannotDrawSafely) {
    IDirect3DVertexBuffer8* quad = Quad(0, 0, 8, 8, 0xFFFF0000u);
    device->SetStreamSource(0, quad, sizeof(ScreenVertex));
    device->SetVertexShader(0x144);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL); // outside a scene
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_LINELIST, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 3), D3DERR_INVALIDCALL); // needs a fifth vertex
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 2, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0xFFFFFFFFu, 1), D3DERR_INVALIDCALL);
    device->SetVertexShader(0x142);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
    device->SetVertexShader(0x144);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE4X);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_UNSUPPORTEDCOLOROPERATION);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_UNSUPPORTEDCOLOROPERATION);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE | 0x10); // complement
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_UNSUPPORTEDALPHAOPERATION);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    EXPECT_EQ(Pixels()[0], 0xFF000000u); // nothing refused was drawn
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(Pixels()[0], 0xFFFF0000u);
    device->SetStreamSource(0, nullptr, 0);
    quad->Release();
}

TEST_F(DeviceTest, StripOddTrianglesAreCulledByTheirReversedWinding) {
    // Vertex order 0 (0,0), 1 (8,0), 2 (0,8), 3 (8,8): both triangles are
    // clockwise on the screen once the odd one is reversed.
    IDirect3DVertexBuffer8* quad = Quad(0, 0, 8, 8, 0xFF00FF00u);
    device->SetStreamSource(0, quad, sizeof(ScreenVertex));
    device->SetVertexShader(0x144);
    device->BeginScene();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    EXPECT_EQ(Pixels()[7 * 64 + 7], 0xFF00FF00u) << "second triangle kept";
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    EXPECT_EQ(Pixels()[0], 0xFF000000u);
    EXPECT_EQ(Pixels()[7 * 64 + 7], 0xFF000000u);
    device->EndScene();
    device->SetStreamSource(0, nullptr, 0);
    quad->Release();
}

TEST_F(DeviceTest, FlatStripTrianglesTakeTheirFirstVertexAndAlphaRefItsLowByte) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(4 * sizeof(ScreenVertex), 0, 0x144, D3DPOOL_MANAGED, &buffer),
              D3D_OK);
    const ScreenVertex v[4] = {{0, 0, 0, 1, 0xFFFF0000u, 0, 0},
                               {8, 0, 0, 1, 0x0800FF00u, 1, 0},
                               {0, 8, 0, 1, 0xFF0000FFu, 0, 1},
                               {8, 8, 0, 1, 0xFFFFFFFFu, 1, 1}};
    BYTE* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, v, sizeof v);
    buffer->Unlock();
    device->SetStreamSource(0, buffer, sizeof(ScreenVertex));
    device->SetVertexShader(0x144);
    device->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    device->BeginScene();
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    EXPECT_EQ(Pixels()[1 * 64 + 1], 0xFFFF0000u);
    EXPECT_EQ(Pixels()[7 * 64 + 7], 0xFF00FF00u) << "vertex 1 starts the second triangle";
    // Vertex 1 has alpha 8: a reference of 0x109 compares with 9 and discards it.
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_ALPHAREF, 0x109);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    EXPECT_EQ(Pixels()[1 * 64 + 1], 0xFFFF0000u);
    EXPECT_EQ(Pixels()[7 * 64 + 7], 0xFF000000u);
    device->EndScene();
    device->SetStreamSource(0, nullptr, 0);
    buffer->Release();
}

TEST_F(DeviceTest, TextureLevelsPitchAndLocking) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 4, 0, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 5u); // 16x4, 8x2, 4x1, 2x1, 1x1
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(3, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 2u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(texture->GetLevelDesc(5, &desc), D3DERR_INVALIDCALL);
    D3DLOCKED_RECT locked{};
    const RECT rect{2, 1, 4, 3};
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 32);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
    const RECT outside{0, 0, 17, 1};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    texture->Release();

    IDirect3DTexture8* refused = nullptr;
    EXPECT_EQ(device->CreateTexture(4, 4, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &refused),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &refused),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &refused),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(refused, nullptr);
}

TEST_F(DeviceTest, VertexBufferLocksStayInsideTheBuffer) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(112, 0, 0x144, D3DPOOL_MANAGED, &buffer), D3D_OK);
    BYTE* whole = nullptr;
    BYTE* part = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &whole, 0), D3D_OK);
    ASSERT_EQ(buffer->Lock(28, 28, &part, 0), D3D_OK);
    EXPECT_EQ(part - whole, 28);
    EXPECT_EQ(buffer->Lock(100, 13, &part, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(112, 0, &part, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(0xFFFFFFF0u, 0x20, &part, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    buffer->Release();
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &buffer), D3DERR_INVALIDCALL);
}

TEST_F(DeviceTest, ShowCursorReturnsThePreviousState) {
    EXPECT_EQ(device->ShowCursor(0), 1);
    EXPECT_EQ(device->ShowCursor(0), 0);
    EXPECT_EQ(device->ShowCursor(1), 0);
}

} // namespace
