#include "platform/d3d8/d3d8_state.h"

namespace platform {
namespace {

const D3DMATRIX kIdentity{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};

// The bits of a float render-state value. The compilers' builtin, which is
// what std::bit_cast is made of, since the browser build's C++ library
// predates std::bit_cast.
constexpr DWORD FloatBits(float value) {
    return __builtin_bit_cast(DWORD, value);
}

// Render states whose Direct3D 8 default is not zero.
struct Default {
    uint32_t state;
    DWORD value;
};
constexpr Default kRenderDefaults[] = {
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD},
    {D3DRS_ZWRITEENABLE, 1},
    {D3DRS_LASTPIXEL, 1},
    {D3DRS_SRCBLEND, D3DBLEND_ONE},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO},
    {D3DRS_CULLMODE, D3DCULL_CCW},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
    {37, FloatBits(1.0f)}, // FOGEND
    {38, FloatBits(1.0f)}, // FOGDENSITY
    {53, 1},                          // STENCILFAIL: KEEP
    {54, 1},                          // STENCILZFAIL: KEEP
    {55, 1},                          // STENCILPASS: KEEP
    {56, D3DCMP_ALWAYS},              // STENCILFUNC
    {58, 0xFFFFFFFFu},                // STENCILMASK
    {59, 0xFFFFFFFFu},                // STENCILWRITEMASK
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu},
    {D3DRS_CLIPPING, 1},
    {D3DRS_LIGHTING, 1},
    {D3DRS_COLORVERTEX, 1},
    {145, 1},                           // DIFFUSEMATERIALSOURCE: COLOR1
    {146, 2},                           // SPECULARMATERIALSOURCE: COLOR2
    {154, FloatBits(1.0f)},  // POINTSIZE
    {155, FloatBits(1.0f)},  // POINTSIZE_MIN
    {158, FloatBits(1.0f)},  // POINTSCALE_A
    {162, 1},                           // MULTISAMPLEANTIALIAS
    {163, 0xFFFFFFFFu},                 // MULTISAMPLEMASK
    {166, FloatBits(64.0f)}, // POINTSIZE_MAX
    {D3DRS_COLORWRITEENABLE, 0xF},
    {D3DRS_BLENDOP, 1}, // ADD
};

} // namespace

DeviceState::~DeviceState() {
    for (DWORD stage = 0; stage < kTextureStageCount; ++stage) {
        SetTexture(stage, nullptr);
    }
    SetStream(nullptr, 0);
}

void DeviceState::SetDefaults(bool depthBuffer) {
    for (DWORD& value : renderStates) {
        value = 0;
    }
    for (const Default& d : kRenderDefaults) {
        renderStates[d.state] = d.value;
    }
    renderStates[D3DRS_ZENABLE] = depthBuffer ? D3DZB_TRUE : D3DZB_FALSE;
    for (uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        DWORD* s = stageStates[stage];
        for (uint32_t type = 0; type < D3DTSS_COUNT; ++type) {
            s[type] = 0;
        }
        s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        s[D3DTSS_TEXCOORDINDEX] = stage;
        s[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        s[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        s[25] = D3DTADDRESS_WRAP; // ADDRESSW
        s[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        s[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        s[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
        s[21] = 1;             // MAXANISOTROPY
        s[26] = D3DTA_CURRENT; // COLORARG0
        s[27] = D3DTA_CURRENT; // ALPHAARG0
        s[28] = D3DTA_CURRENT; // RESULTARG
        s[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
        SetTexture(stage, nullptr);
    }
    transforms.clear();
    material = D3DMATERIAL8{};
    vertexShader = 0;
    SetStream(nullptr, 0);
}

void DeviceState::SetTexture(DWORD stage, Texture* texture) {
    if (texture != nullptr) {
        texture->AddRef();
    }
    if (textures[stage] != nullptr) {
        textures[stage]->Release();
    }
    textures[stage] = texture;
}

void DeviceState::SetStream(VertexBuffer* buffer, UINT newStride) {
    if (buffer != nullptr) {
        buffer->AddRef();
    }
    if (stream != nullptr) {
        stream->Release();
    }
    stream = buffer;
    stride = newStride;
}

const D3DMATRIX& DeviceState::Transform(uint32_t state) const {
    const auto found = transforms.find(state);
    return found == transforms.end() ? kIdentity : found->second;
}

void StateBlock::Copy(const DeviceState& from, DeviceState& to) const {
    for (uint32_t state = 0; state < D3DRS_COUNT; ++state) {
        if (renderSet[state]) {
            to.renderStates[state] = from.renderStates[state];
        }
    }
    for (uint32_t stage = 0; stage < kTextureStageCount; ++stage) {
        for (uint32_t type = 0; type < D3DTSS_COUNT; ++type) {
            if (stageSet[stage][type]) {
                to.stageStates[stage][type] = from.stageStates[stage][type];
            }
        }
        if (textureSet[stage]) {
            to.SetTexture(stage, from.textures[stage]);
        }
    }
    for (uint32_t state : transformSet) {
        to.transforms[state] = from.Transform(state);
    }
    if (materialSet) {
        to.material = from.material;
    }
    if (vertexShaderSet) {
        to.vertexShader = from.vertexShader;
    }
    if (streamSet) {
        to.SetStream(from.stream, from.stride);
    }
}

} // namespace platform
