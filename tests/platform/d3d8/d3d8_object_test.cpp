#include "platform/d3d8/d3d8.h"
#include "platform/os/run_mode.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class Direct3DObjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3D, nullptr);
    }
    void TearDown() override { EXPECT_EQ(direct3D->Release(), 0u); }

    IDirect3D8* direct3D = nullptr;
};

TEST_F(Direct3DObjectTest, OnlyVersion120IsAccepted) {
    EXPECT_EQ(Direct3DCreate8(220), nullptr);
}

TEST_F(Direct3DObjectTest, OneAdapterWithTheHeadlessModes) {
    ASSERT_EQ(direct3D->GetAdapterCount(), 1u);
    D3DADAPTER_IDENTIFIER8 id{};
    ASSERT_EQ(direct3D->GetAdapterIdentifier(0, D3DENUM_NO_WHQL_LEVEL, &id), D3D_OK);
    EXPECT_EQ(std::string(id.Description), "Backfire software rasterizer");
    EXPECT_EQ(direct3D->GetAdapterIdentifier(1, 0, &id), D3DERR_INVALIDCALL);

    D3DDISPLAYMODE desktop{};
    ASSERT_EQ(direct3D->GetAdapterDisplayMode(0, &desktop), D3D_OK);
    EXPECT_EQ(desktop.Width, 800u);
    EXPECT_EQ(desktop.Height, 600u);
    EXPECT_EQ(desktop.Format, D3DFMT_X8R8G8B8);

    ASSERT_EQ(direct3D->GetAdapterModeCount(0), 3u);
    const UINT sizes[3][2] = {{640, 480}, {800, 600}, {1024, 768}};
    for (UINT i = 0; i < 3; ++i) {
        D3DDISPLAYMODE mode{};
        ASSERT_EQ(direct3D->EnumAdapterModes(0, i, &mode), D3D_OK);
        EXPECT_EQ(mode.Width, sizes[i][0]);
        EXPECT_EQ(mode.Height, sizes[i][1]);
        EXPECT_EQ(mode.RefreshRate, 60u);
        EXPECT_EQ(mode.Format, D3DFMT_X8R8G8B8);
    }
    D3DDISPLAYMODE mode{};
    EXPECT_EQ(direct3D->EnumAdapterModes(0, 3, &mode), D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3D->GetAdapterModeCount(1), 0u);
}

TEST_F(Direct3DObjectTest, FormatChecksAcceptWhatTheDeviceDraws) {
    EXPECT_EQ(direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, FALSE), D3D_OK);
    EXPECT_EQ(direct3D->CheckDeviceType(0, D3DDEVTYPE_REF, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, TRUE), D3D_OK);
    EXPECT_EQ(direct3D->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, FALSE),
              D3DERR_NOTAVAILABLE);
    for (D3DFORMAT depth : {D3DFMT_D16, D3DFMT_D24X8, D3DFMT_D24S8, D3DFMT_D32}) {
        EXPECT_EQ(direct3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                              D3DRTYPE_SURFACE, depth),
                  D3D_OK);
        EXPECT_EQ(
            direct3D->CheckDepthStencilMatch(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, depth),
            D3D_OK);
    }
    EXPECT_EQ(direct3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DUSAGE_DEPTHSTENCIL,
                                          D3DRTYPE_SURFACE, D3DFMT_D15S1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(
        direct3D->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4),
        D3D_OK);
}

TEST_F(Direct3DObjectTest, CapsDescribeASoftwareDeviceThatRendersInAWindow) {
    D3DCAPS8 caps{};
    ASSERT_EQ(direct3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT, 0u);
    EXPECT_NE(caps.Caps2 & D3DCAPS2_CANRENDERWINDOWED, 0u);
    for (DWORD blend :
         {D3DPBLENDCAPS_ONE, D3DPBLENDCAPS_ZERO, D3DPBLENDCAPS_SRCALPHA, D3DPBLENDCAPS_INVSRCALPHA}) {
        EXPECT_NE(caps.SrcBlendCaps & blend, 0u);
        EXPECT_NE(caps.DestBlendCaps & blend, 0u);
    }
    EXPECT_EQ(caps.MaxTextureWidth, 4096u);
    EXPECT_EQ(caps.MaxPrimitiveCount, 65535u);
    EXPECT_EQ(caps.MaxPointSize, 1.0f);
    D3DCAPS8 ref{};
    ASSERT_EQ(direct3D->GetDeviceCaps(0, D3DDEVTYPE_REF, &ref), D3D_OK);
    EXPECT_EQ(ref.DeviceType, D3DDEVTYPE_REF);
    EXPECT_EQ(direct3D->GetDeviceCaps(0, D3DDEVTYPE_SW, &ref), D3DERR_NOTAVAILABLE);
}

TEST_F(Direct3DObjectTest, CreateDeviceRefusesHardwareProcessingAndBadParameters) {
    D3DPRESENT_PARAMETERS params{};
    params.BackBufferWidth = 640;
    params.BackBufferHeight = 480;
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    IDirect3DDevice8* device = nullptr;
    EXPECT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                                     &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, nullptr,
                                     &device),
              D3DERR_INVALIDCALL);
    params.BackBufferFormat = D3DFMT_R5G6B5;
    EXPECT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params,
                                     &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    params.BackBufferFormat = D3DFMT_X8R8G8B8;
    ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_REF, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING, &params,
                                     &device),
              D3D_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK); // full screen without a window to lose
    EXPECT_EQ(device->Release(), 0u);
}

} // namespace
