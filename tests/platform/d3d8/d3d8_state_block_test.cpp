#include "platform/d3d8/d3d8.h"
#include "platform/os/run_mode.h"

#include <gtest/gtest.h>

namespace {

class StateBlockTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::UseHeadless(true);
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        ASSERT_NE(direct3D, nullptr);
        D3DPRESENT_PARAMETERS params{};
        params.BackBufferWidth = 16;
        params.BackBufferHeight = 16;
        params.BackBufferFormat = D3DFMT_X8R8G8B8;
        params.Windowed = 1;
        ASSERT_EQ(direct3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                         &params, &device),
                  D3D_OK);
    }
    void TearDown() override {
        device->Release();
        direct3D->Release();
    }

    DWORD Render(D3DRENDERSTATETYPE state) {
        DWORD value = 0;
        device->GetRenderState(state, &value);
        return value;
    }
    DWORD Stage(DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
        DWORD value = 0;
        device->GetTextureStageState(stage, type, &value);
        return value;
    }

    // The text-drawing pattern: a block recording a few states.
    DWORD RecordTextState() {
        EXPECT_EQ(device->BeginStateBlock(), D3D_OK);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
        DWORD token = 0;
        EXPECT_EQ(device->EndStateBlock(&token), D3D_OK);
        return token;
    }

    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
};

TEST_F(StateBlockTest, RecordingChangesTheBlockNotTheDevice) {
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const DWORD token = RecordTextState();
    EXPECT_NE(token, 0u);
    EXPECT_EQ(Render(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(Render(D3DRS_CULLMODE), DWORD{D3DCULL_NONE});
    ASSERT_EQ(device->ApplyStateBlock(token), D3D_OK);
    EXPECT_EQ(Render(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(Render(D3DRS_CULLMODE), DWORD{D3DCULL_CCW});
}

TEST_F(StateBlockTest, CaptureRefreshesOnlyTheRecordedStates) {
    const DWORD saved = RecordTextState();
    const DWORD text = RecordTextState();
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA); // not in the blocks

    ASSERT_EQ(device->CaptureStateBlock(saved), D3D_OK);
    ASSERT_EQ(device->ApplyStateBlock(text), D3D_OK);
    EXPECT_EQ(Render(D3DRS_CULLMODE), DWORD{D3DCULL_CCW});
    EXPECT_EQ(Stage(0, D3DTSS_MINFILTER), DWORD{D3DTEXF_POINT});
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);

    ASSERT_EQ(device->ApplyStateBlock(saved), D3D_OK);
    EXPECT_EQ(Render(D3DRS_CULLMODE), DWORD{D3DCULL_NONE});
    EXPECT_EQ(Render(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(Stage(0, D3DTSS_MINFILTER), DWORD{D3DTEXF_LINEAR});
    EXPECT_EQ(Render(D3DRS_SRCBLEND), DWORD{D3DBLEND_ONE}) << "unrecorded state left alone";
}

TEST_F(StateBlockTest, BlocksHoldTheirTexturesAndTransforms) {
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    D3DMATRIX view{};
    view.m[0][0] = 2.0f;
    device->BeginStateBlock();
    device->SetTexture(0, texture);
    device->SetTransform(D3DTS_VIEW, &view);
    DWORD token = 0;
    device->EndStateBlock(&token);
    EXPECT_EQ(texture->Release(), 1u) << "the block keeps a reference";

    D3DMATRIX read{};
    device->GetTransform(D3DTS_VIEW, &read);
    EXPECT_EQ(read.m[0][0], 1.0f);
    device->ApplyStateBlock(token);
    device->GetTransform(D3DTS_VIEW, &read);
    EXPECT_EQ(read.m[0][0], 2.0f);
    EXPECT_EQ(device->DeleteStateBlock(token), D3D_OK); // the device still binds it
    device->SetTexture(0, nullptr);
}

TEST_F(StateBlockTest, MisuseIsRefused) {
    DWORD token = 0;
    EXPECT_EQ(device->EndStateBlock(&token), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ApplyStateBlock(77), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CaptureStateBlock(77), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DeleteStateBlock(77), D3DERR_INVALIDCALL);
    const DWORD recorded = RecordTextState();
    ASSERT_EQ(device->BeginStateBlock(), D3D_OK);
    EXPECT_EQ(device->BeginStateBlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->ApplyStateBlock(recorded), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndStateBlock(&token), D3D_OK);
    EXPECT_NE(token, recorded);
    EXPECT_EQ(device->DeleteStateBlock(recorded), D3D_OK);
    EXPECT_EQ(device->ApplyStateBlock(recorded), D3DERR_INVALIDCALL);
}

} // namespace
