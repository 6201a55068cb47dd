#include "platform/d3d8/d3d8_device.h"

#include "platform/d3d8/call_recorder.h"
#include "platform/d3d8/d3d8_control.h"
#include "platform/os/host_turn.h"
#include "platform/win32/window_system.h"

#include <algorithm>
#include <cstring>

namespace platform {
namespace {

constexpr DWORD kScreenVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;
constexpr UINT kScreenVertexBytes = 28;
constexpr UINT kMaxPrimitives = 65535;
constexpr int32_t kMaxBackBuffer = 4096;

DeviceCallRecorder* recorder = nullptr;

// The pre-transformed vertex as the game lays it out in its buffers.
struct ScreenVertex {
    float x, y, z, rhw;
    uint32_t diffuse;
    float u, v;
};
static_assert(sizeof(ScreenVertex) == kScreenVertexBytes);

bool IsDepthFormat(D3DFORMAT format) {
    return format == D3DFMT_D16 || format == D3DFMT_D24X8 || format == D3DFMT_D24S8 || format == D3DFMT_D32;
}

bool ValidTransform(uint32_t state) {
    return state == D3DTS_VIEW || state == D3DTS_PROJECTION ||
           (state >= D3DTS_TEXTURE0 && state < D3DTS_TEXTURE0 + kTextureStageCount) ||
           (state >= D3DTS_WORLD && state < D3DTS_WORLD + 256);
}

bool DecodeOp(DWORD op, RasterOp* out) {
    switch (op) {
    case D3DTOP_SELECTARG1:
        *out = RasterOp::SelectArg1;
        return true;
    case D3DTOP_SELECTARG2:
        *out = RasterOp::SelectArg2;
        return true;
    case D3DTOP_MODULATE:
        *out = RasterOp::Modulate;
        return true;
    case D3DTOP_ADD:
        *out = RasterOp::Add;
        return true;
    default:
        return false;
    }
}

// At stage 0 the current colour is the diffuse colour. Argument modifiers
// (complement, alpha replicate) are not implemented.
bool DecodeArg(DWORD arg, RasterArg* out) {
    switch (arg) {
    case D3DTA_DIFFUSE:
    case D3DTA_CURRENT:
        *out = RasterArg::Diffuse;
        return true;
    case D3DTA_TEXTURE:
        *out = RasterArg::Texture;
        return true;
    case D3DTA_TFACTOR:
        *out = RasterArg::Factor;
        return true;
    default:
        return false;
    }
}

bool DecodeBlend(DWORD blend, RasterBlend* out) {
    if (blend < D3DBLEND_ZERO || blend > D3DBLEND_INVDESTCOLOR) {
        return false;
    }
    *out = static_cast<RasterBlend>(blend - D3DBLEND_ZERO);
    return true;
}

RasterFilter DecodeFilter(DWORD filter) {
    return filter == D3DTEXF_NONE || filter == D3DTEXF_POINT ? RasterFilter::Point : RasterFilter::Bilinear;
}

RasterVertex ReadVertex(const uint8_t* bytes) {
    ScreenVertex v;
    std::memcpy(&v, bytes, sizeof v);
    return RasterVertex{v.x, v.y, v.diffuse, v.u, v.v};
}

} // namespace

void SetDeviceCallRecorder(DeviceCallRecorder* installed) {
    recorder = installed;
}

DeviceCallRecorder* CurrentDeviceCallRecorder() {
    return recorder;
}

Device* Device::Create(D3DDEVTYPE type, HWND focusWindow, D3DPRESENT_PARAMETERS* params, bool onDisplay,
                       HRESULT* result) {
    if (params == nullptr) {
        *result = D3DERR_INVALIDCALL;
        return nullptr;
    }
    HWND window = params->hDeviceWindow != nullptr ? params->hDeviceWindow : focusWindow;
    Device* device = new Device(type, window, onDisplay);
    *result = device->Configure(params);
    if (FAILED(*result)) {
        device->Release();
        return nullptr;
    }
    return device;
}

HRESULT Device::Configure(D3DPRESENT_PARAMETERS* p) {
    int32_t w = static_cast<int32_t>(p->BackBufferWidth), h = static_cast<int32_t>(p->BackBufferHeight);
    if (p->Windowed && (w == 0 || h == 0) && window != nullptr) {
        int clientWidth = 0, clientHeight = 0;
        ClientSize(window, &clientWidth, &clientHeight);
        w = w == 0 ? clientWidth : w;
        h = h == 0 ? clientHeight : h;
    }
    if (w <= 0 || h <= 0 || w > kMaxBackBuffer || h > kMaxBackBuffer) {
        return D3DERR_INVALIDCALL;
    }
    const D3DFORMAT format =
        p->BackBufferFormat == D3DFMT_UNKNOWN && p->Windowed ? D3DFMT_X8R8G8B8 : p->BackBufferFormat;
    if (format != D3DFMT_X8R8G8B8 || p->BackBufferCount > 1 || p->MultiSampleType != D3DMULTISAMPLE_NONE ||
        (p->EnableAutoDepthStencil && !IsDepthFormat(p->AutoDepthStencilFormat))) {
        return D3DERR_INVALIDCALL;
    }
    if (!p->Windowed) {
        const std::vector<D3DDISPLAYMODE> modes = SoftwareAdapterModes(onDisplay);
        const bool offered = std::any_of(modes.begin(), modes.end(), [&](const D3DDISPLAYMODE& m) {
            return static_cast<int32_t>(m.Width) == w && static_cast<int32_t>(m.Height) == h;
        });
        if (!offered) {
            return D3DERR_INVALIDCALL;
        }
    }
    p->BackBufferWidth = static_cast<UINT>(w);
    p->BackBufferHeight = static_cast<UINT>(h);
    p->BackBufferFormat = format;
    p->BackBufferCount = 1;
    const bool modeChanged = width == 0 || (params.Windowed != 0) != (p->Windowed != 0);
    params = *p;
    width = w;
    height = h;
    backBuffer.assign(static_cast<size_t>(w) * h, 0xFF000000u);
    current.SetDefaults(p->EnableAutoDepthStencil != 0);
    inScene = false;
    if (modeChanged && window != nullptr) {
        SetWindowFullScreen(window, !p->Windowed);
    }
    return D3D_OK;
}

bool Device::InBackground() const {
    if (forcedBackground) {
        return true;
    }
    // In a window the device is never lost.
    return !params.Windowed && window != nullptr && !WindowIsForeground(window);
}

HRESULT Device::TestCooperativeLevel() {
    if (InBackground()) {
        needsReset = true;
        return D3DERR_DEVICELOST;
    }
    return needsReset ? D3DERR_DEVICENOTRESET : D3D_OK;
}

void Device::ForceLoss(HRESULT state) {
    forcedBackground = state == D3DERR_DEVICELOST;
    needsReset = state != D3D_OK;
}

void Device::CopyBackBuffer(std::vector<uint32_t>* pixels, int* outWidth, int* outHeight) const {
    *pixels = backBuffer;
    *outWidth = width;
    *outHeight = height;
}

HRESULT Device::GetDeviceCaps(D3DCAPS8* caps) {
    if (caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    FillSoftwareCaps(type, caps);
    return D3D_OK;
}

HRESULT Device::GetBackBuffer(UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface8** surface) {
    if (index != 0 || surface == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    const UINT w = static_cast<UINT>(width), h = static_cast<UINT>(height);
    *surface = new Surface(D3DSURFACE_DESC{D3DFMT_X8R8G8B8, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET,
                                           D3DPOOL_DEFAULT, w * h * 4, D3DMULTISAMPLE_NONE, w, h});
    return D3D_OK;
}

// Resources are kept across a reset whatever their pool; the render and stage
// states return to their defaults and nothing stays bound, as in Direct3D 8.
HRESULT Device::Reset(D3DPRESENT_PARAMETERS* p) {
    if (p == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    if (InBackground()) {
        needsReset = true;
        return D3DERR_DEVICELOST;
    }
    const HRESULT result = Configure(p);
    if (SUCCEEDED(result)) {
        needsReset = false;
    }
    return result;
}

HRESULT Device::Present(const RECT*, const RECT*, HWND, const void*) {
    if (InBackground() || needsReset) {
        return D3DERR_DEVICELOST;
    }
    if (recorder != nullptr) {
        recorder->Present(width, height);
    }
    if (!onDisplay || PresentedFrameKept()) {
        RecordPresentedFrame(backBuffer.data(), width, height);
    }
    if (onDisplay) {
        presenter.Show(window, backBuffer.data(), width, height, !params.Windowed);
        NoteFrameShown();
    }
    return D3D_OK;
}

HRESULT Device::BeginScene() {
    if (inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = true;
    return D3D_OK;
}

HRESULT Device::EndScene() {
    if (!inScene) {
        return D3DERR_INVALIDCALL;
    }
    inScene = false;
    return D3D_OK;
}

// There is no depth or stencil memory (see raster.h), so clearing them only
// checks that the device has such a buffer. A null rectangle array clears the
// whole target; an array with a count of zero clears nothing, and inverted
// rectangles in it are skipped.
HRESULT Device::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float, DWORD) {
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) != 0 && !params.EnableAutoDepthStencil) {
        return D3DERR_INVALIDCALL;
    }
    if ((flags & D3DCLEAR_STENCIL) != 0 && params.AutoDepthStencilFormat != D3DFMT_D24S8) {
        return D3DERR_INVALIDCALL;
    }
    if ((flags & D3DCLEAR_TARGET) == 0 || (rects != nullptr && count == 0)) {
        return D3D_OK;
    }
    if (recorder != nullptr) {
        recorder->Clear(rects != nullptr ? count : 0, rects, colour);
    }
    const uint32_t value = colour | 0xFF000000u;
    const D3DRECT whole{0, 0, width, height};
    const DWORD rectCount = rects != nullptr ? count : 1;
    for (DWORD k = 0; k < rectCount; ++k) {
        const D3DRECT& r = rects != nullptr ? rects[k] : whole;
        const int32_t left = std::max<int32_t>(r.x1, 0), top = std::max<int32_t>(r.y1, 0);
        const int32_t right = std::min<int32_t>(r.x2, width), bottom = std::min<int32_t>(r.y2, height);
        for (int32_t y = top; y < bottom; ++y) {
            std::fill_n(backBuffer.begin() + static_cast<int64_t>(y) * width + left,
                        std::max(right - left, 0), value);
        }
    }
    return D3D_OK;
}

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (!ValidTransform(state) || matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    Target().transforms[state] = *matrix;
    if (recording) {
        recording->MarkTransform(state);
    }
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    if (!ValidTransform(state) || matrix == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *matrix = current.Transform(state);
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL8* material) {
    if (material == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    Target().material = *material;
    if (recording) {
        recording->MarkMaterial();
    }
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (state >= D3DRS_COUNT) {
        return D3DERR_INVALIDCALL;
    }
    Target().renderStates[state] = value;
    if (recording) {
        recording->MarkRenderState(state);
    }
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (state >= D3DRS_COUNT || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = current.renderStates[state];
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (stage >= kTextureStageCount || type >= D3DTSS_COUNT) {
        return D3DERR_INVALIDCALL;
    }
    Target().stageStates[stage][type] = value;
    if (recording) {
        recording->MarkStageState(stage, type);
    }
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (stage >= kTextureStageCount || type >= D3DTSS_COUNT || value == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *value = current.stageStates[stage][type];
    return D3D_OK;
}

// The device holds a reference to a bound texture, so releasing it while bound
// is safe. Textures made by another implementation are refused.
HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    Texture* ours = dynamic_cast<Texture*>(texture);
    if (stage >= kTextureStageCount || (texture != nullptr && ours == nullptr)) {
        return D3DERR_INVALIDCALL;
    }
    Target().SetTexture(stage, ours);
    if (recording) {
        recording->MarkTexture(stage);
    }
    return D3D_OK;
}

HRESULT Device::CreateTexture(UINT w, UINT h, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DTexture8** texture) {
    if (texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    Texture* created = nullptr;
    const HRESULT result = Texture::Create(w, h, levels, usage, format, pool, &created);
    *texture = created;
    return result;
}

HRESULT Device::CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8** buffer) {
    if (buffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *buffer = nullptr;
    if (length == 0) {
        return D3DERR_INVALIDCALL;
    }
    *buffer = new VertexBuffer(length);
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT stream, IDirect3DVertexBuffer8* buffer, UINT stride) {
    VertexBuffer* ours = dynamic_cast<VertexBuffer*>(buffer);
    if (stream != 0 || (buffer != nullptr && ours == nullptr)) {
        return D3DERR_INVALIDCALL;
    }
    Target().SetStream(ours, stride);
    if (recording) {
        recording->MarkStream();
    }
    return D3D_OK;
}

// Any handle is stored; DrawPrimitive accepts only the pre-transformed format.
HRESULT Device::SetVertexShader(DWORD handle) {
    Target().vertexShader = handle;
    if (recording) {
        recording->MarkVertexShader();
    }
    return D3D_OK;
}

HRESULT Device::DecodePipeline(RasterState* out) const {
    const DWORD* stage0 = current.stageStates[0];
    const DWORD* rs = current.renderStates;
    RasterState st;
    if (stage0[D3DTSS_COLOROP] == D3DTOP_DISABLE) { // stage 0 off passes the diffuse colour and alpha
        st.colourOp = st.alphaOp = RasterOp::SelectArg1;
        st.colourArg1 = st.alphaArg1 = RasterArg::Diffuse;
    } else {
        if (!DecodeOp(stage0[D3DTSS_COLOROP], &st.colourOp) ||
            !DecodeArg(stage0[D3DTSS_COLORARG1], &st.colourArg1) ||
            !DecodeArg(stage0[D3DTSS_COLORARG2], &st.colourArg2)) {
            return D3DERR_UNSUPPORTEDCOLOROPERATION;
        }
        if (stage0[D3DTSS_ALPHAOP] == D3DTOP_DISABLE) {
            st.alphaOp = RasterOp::SelectArg1;
            st.alphaArg1 = RasterArg::Diffuse;
        } else if (!DecodeOp(stage0[D3DTSS_ALPHAOP], &st.alphaOp) ||
                   !DecodeArg(stage0[D3DTSS_ALPHAARG1], &st.alphaArg1) ||
                   !DecodeArg(stage0[D3DTSS_ALPHAARG2], &st.alphaArg2)) {
            return D3DERR_UNSUPPORTEDALPHAOPERATION;
        }
    }
    if (current.stageStates[1][D3DTSS_COLOROP] != D3DTOP_DISABLE) { // one stage only
        return D3DERR_UNSUPPORTEDCOLOROPERATION;
    }
    st.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    st.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    const DWORD func = rs[D3DRS_ALPHAFUNC];
    st.alphaFunc = func >= D3DCMP_NEVER && func <= D3DCMP_ALWAYS
                       ? static_cast<RasterCompare>(func - D3DCMP_NEVER)
                       : RasterCompare::Always;
    st.alphaRef = static_cast<uint8_t>(rs[D3DRS_ALPHAREF] & 0xFFu);
    st.blend = rs[D3DRS_ALPHABLENDENABLE] != 0;
    if (st.blend && (!DecodeBlend(rs[D3DRS_SRCBLEND], &st.srcBlend) ||
                     !DecodeBlend(rs[D3DRS_DESTBLEND], &st.destBlend) || rs[D3DRS_BLENDOP] != 1)) {
        return D3DERR_INVALIDCALL;
    }
    st.flat = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    switch (rs[D3DRS_CULLMODE]) {
    case D3DCULL_CW:
        st.cull = RasterCull::Clockwise;
        break;
    case D3DCULL_CCW:
        st.cull = RasterCull::CounterClockwise;
        break;
    default:
        st.cull = RasterCull::None;
        break;
    }
    st.minFilter = DecodeFilter(stage0[D3DTSS_MINFILTER]);
    st.magFilter = DecodeFilter(stage0[D3DTSS_MAGFILTER]);
    st.mipmaps = stage0[D3DTSS_MIPFILTER] != D3DTEXF_NONE;
    *out = st;
    return D3D_OK;
}

// Only triangle lists and strips are drawn: the game uses nothing else, and
// points, lines and fans are refused rather than drawn approximately. Fill
// mode is always solid and addressing always wraps. The vertex range must lie
// inside the bound buffer.
HRESULT Device::DrawPrimitive(D3DPRIMITIVETYPE primitive, UINT startVertex, UINT primitiveCount) {
    if (!inScene || (primitive != D3DPT_TRIANGLELIST && primitive != D3DPT_TRIANGLESTRIP) ||
        current.vertexShader != kScreenVertexFormat || current.stream == nullptr ||
        current.stride < kScreenVertexBytes || primitiveCount > kMaxPrimitives) {
        return D3DERR_INVALIDCALL;
    }
    if (primitiveCount == 0) {
        return D3D_OK;
    }
    const uint64_t vertexCount =
        primitive == D3DPT_TRIANGLELIST ? uint64_t{primitiveCount} * 3 : uint64_t{primitiveCount} + 2;
    const uint64_t end = (uint64_t{startVertex} + vertexCount - 1) * current.stride + kScreenVertexBytes;
    if (end > current.stream->Length()) {
        return D3DERR_INVALIDCALL;
    }
    RasterState state;
    const HRESULT decoded = DecodePipeline(&state);
    if (FAILED(decoded)) {
        return decoded;
    }
    static const RasterTexture kNoTexture;
    const RasterTexture& texture = current.textures[0] != nullptr ? current.textures[0]->View() : kNoTexture;
    const RasterTarget target{backBuffer.data(), width, height, width};
    const uint8_t* base = current.stream->Data() + uint64_t{startVertex} * current.stride;
    const UINT stride = current.stride;
    if (recorder != nullptr) {
        recorder->Draw(current, state, texture, primitive, base, stride, primitiveCount);
    }
    for (UINT k = 0; k < primitiveCount; ++k) {
        const uint64_t first = primitive == D3DPT_TRIANGLELIST ? uint64_t{k} * 3 : k;
        const RasterVertex a = ReadVertex(base + first * stride);
        const RasterVertex b = ReadVertex(base + (first + 1) * stride);
        const RasterVertex c = ReadVertex(base + (first + 2) * stride);
        if (primitive == D3DPT_TRIANGLESTRIP && (k & 1) != 0) {
            DrawTriangle(state, texture, a, c, b, target); // odd strip triangles run the other way round
        } else {
            DrawTriangle(state, texture, a, b, c, target);
        }
    }
    return D3D_OK;
}

// While a block records, Set calls change the block and not the device.
HRESULT Device::BeginStateBlock() {
    if (recording) {
        return D3DERR_INVALIDCALL;
    }
    recording = std::make_unique<StateBlock>();
    return D3D_OK;
}

HRESULT Device::EndStateBlock(DWORD* token) {
    if (!recording || token == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *token = nextToken++;
    stateBlocks[*token] = std::move(recording);
    return D3D_OK;
}

HRESULT Device::ApplyStateBlock(DWORD token) {
    const auto found = stateBlocks.find(token);
    if (recording || found == stateBlocks.end()) {
        return D3DERR_INVALIDCALL;
    }
    found->second->Apply(current);
    return D3D_OK;
}

HRESULT Device::CaptureStateBlock(DWORD token) {
    const auto found = stateBlocks.find(token);
    if (recording || found == stateBlocks.end()) {
        return D3DERR_INVALIDCALL;
    }
    found->second->Capture(current);
    return D3D_OK;
}

HRESULT Device::DeleteStateBlock(DWORD token) {
    if (recording || stateBlocks.erase(token) == 0) {
        return D3DERR_INVALIDCALL;
    }
    return D3D_OK;
}

BOOL Device::ShowCursor(BOOL show) {
    const BOOL previous = cursorShown ? 1 : 0;
    cursorShown = show != 0;
    return previous;
}

void Device::SetCursorPosition(int x, int y, DWORD) {
    cursor = POINT{x, y};
}

bool ForceDeviceState(IDirect3DDevice8* device, HRESULT state) {
    Device* ours = dynamic_cast<Device*>(device);
    if (ours == nullptr ||
        (state != D3D_OK && state != D3DERR_DEVICELOST && state != D3DERR_DEVICENOTRESET)) {
        return false;
    }
    ours->ForceLoss(state);
    return true;
}

bool ReadBackBuffer(IDirect3DDevice8* device, std::vector<uint32_t>* pixels, int* width, int* height) {
    const Device* ours = dynamic_cast<const Device*>(device);
    if (ours == nullptr) {
        return false;
    }
    ours->CopyBackBuffer(pixels, width, height);
    return true;
}

} // namespace platform
