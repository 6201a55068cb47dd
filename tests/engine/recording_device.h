// A Direct3D device that draws nothing and records what it is asked: every
// state change and draw call as a line of text, the vertices of each draw,
// and state blocks that capture and apply like the real ones. Its textures and
// vertex buffers are plain memory; they belong to the device, so Release only
// counts.
#pragma once

#include "engine/video_list.h"
#include "platform/d3d8/d3d8.h"

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class FakeTexture : public IDirect3DTexture8 {
  public:
    FakeTexture(UINT width, UINT height, D3DFORMAT format)
        : width(width), height(height), format(format),
          bits(static_cast<size_t>(width) * height * (format == D3DFMT_A4R4G4B4 ? 2 : 4)) {}
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override { return --references; }
    DWORD GetLevelCount() override { return 1; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override {
        if (level != 0)
            return D3DERR_INVALIDCALL;
        *desc = {};
        desc->Format = format;
        desc->Width = width;
        desc->Height = height;
        return D3D_OK;
    }
    HRESULT LockRect(UINT, D3DLOCKED_RECT* locked, const RECT*, DWORD) override {
        locked->Pitch = static_cast<int>(bits.size() / height);
        locked->pBits = bits.data();
        return D3D_OK;
    }
    HRESULT UnlockRect(UINT) override { return D3D_OK; }
    uint16_t Texel16(UINT x, UINT y) const {
        uint16_t texel;
        std::memcpy(&texel, bits.data() + (static_cast<size_t>(y) * width + x) * 2, 2);
        return texel;
    }

    UINT width;
    UINT height;
    D3DFORMAT format;
    std::vector<uint8_t> bits;
    int32_t references = 1;
};

class FakeVertexBuffer : public IDirect3DVertexBuffer8 {
  public:
    explicit FakeVertexBuffer(UINT length) : data(length) {}
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override { return --references; }
    HRESULT Lock(UINT offset, UINT, BYTE** out, DWORD) override {
        ++locks;
        *out = data.data() + offset;
        return D3D_OK;
    }
    HRESULT Unlock() override {
        ++unlocks;
        return D3D_OK;
    }
    const ScreenVertex* Vertices() const { return reinterpret_cast<const ScreenVertex*>(data.data()); }

    std::vector<uint8_t> data;
    int32_t references = 1;
    int32_t locks = 0;
    int32_t unlocks = 0;
};

class RecordingDevice : public IDirect3DDevice8 {
  public:
    struct DrawCall {
        D3DPRIMITIVETYPE type;
        UINT primitives;
        std::vector<ScreenVertex> vertices;
    };

    // One line per call: "RS <state> <value>", "TSS <stage> <type> <value>",
    // "TEX <stage> <texture or null>", "MAT", "STREAM <n> <stride>", "VS <fvf>",
    // "DRAW <type> <start> <count>", "CAPTURE", "APPLY".
    std::vector<std::string> calls;
    std::vector<DrawCall> draws;
    std::map<uint32_t, DWORD> renderStates;
    std::map<std::pair<DWORD, uint32_t>, DWORD> stageStates;
    IDirect3DBaseTexture8* textures[8] = {};
    int32_t presents = 0;
    FakeVertexBuffer* stream = nullptr;
    D3DCAPS8 caps{};
    HRESULT vertexBufferResult = D3D_OK;
    std::vector<std::unique_ptr<FakeTexture>> createdTextures;
    std::vector<std::unique_ptr<FakeVertexBuffer>> createdBuffers;
    int32_t liveStateBlocks = 0;

    RecordingDevice() { caps.MaxTextureWidth = caps.MaxTextureHeight = 4096; }

    static std::string RS(uint32_t state, DWORD value) {
        return "RS " + std::to_string(state) + " " + std::to_string(value);
    }
    static std::string TSS(DWORD stage, uint32_t type, DWORD value) {
        return "TSS " + std::to_string(stage) + " " + std::to_string(type) + " " + std::to_string(value);
    }
    // The state lines of the last draw: those after its texture was bound.
    std::vector<std::string> StatesOfLastDraw() const {
        size_t start = calls.size();
        while (start > 0 && calls[start - 1].rfind("TEX ", 0) != 0)
            --start;
        std::vector<std::string> states;
        for (size_t i = start; i < calls.size(); ++i)
            if (calls[i].rfind("RS ", 0) == 0 || calls[i].rfind("TSS ", 0) == 0)
                states.push_back(calls[i]);
        return states;
    }

    uint32_t AddRef() override { return 1; }
    uint32_t Release() override { return 0; }
    HRESULT TestCooperativeLevel() override { return D3D_OK; }
    HRESULT GetDeviceCaps(D3DCAPS8* out) override {
        *out = caps;
        return D3D_OK;
    }
    HRESULT GetBackBuffer(UINT, D3DBACKBUFFER_TYPE, IDirect3DSurface8**) override {
        return D3DERR_INVALIDCALL;
    }
    HRESULT Reset(D3DPRESENT_PARAMETERS*) override { return D3D_OK; }
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override {
        ++presents;
        return D3D_OK;
    }
    HRESULT BeginScene() override { return D3D_OK; }
    HRESULT EndScene() override { return D3D_OK; }
    HRESULT Clear(DWORD, const D3DRECT*, DWORD, D3DCOLOR, float, DWORD) override { return D3D_OK; }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
        transforms[state] = *matrix;
        calls.push_back("TRANSFORM " + std::to_string(state));
        return D3D_OK;
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
        *matrix = transforms[state];
        return D3D_OK;
    }
    HRESULT SetMaterial(const D3DMATERIAL8* material) override {
        lastMaterial = *material;
        calls.push_back("MAT");
        return D3D_OK;
    }
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        if (recording)
            recording->renderStates[state] = value;
        else {
            renderStates[state] = value;
            calls.push_back(RS(state, value));
        }
        return D3D_OK;
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        *value = renderStates[state];
        return D3D_OK;
    }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
        if (recording)
            recording->stageStates[{stage, type}] = value;
        else {
            stageStates[{stage, type}] = value;
            calls.push_back(TSS(stage, type, value));
        }
        return D3D_OK;
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
        *value = stageStates[{stage, type}];
        return D3D_OK;
    }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) override {
        if (recording) {
            recording->textures[stage] = texture;
            recording->hasTexture[stage] = true;
        } else {
            textures[stage] = texture;
            calls.push_back("TEX " + std::to_string(stage) + (texture ? " texture" : " null"));
        }
        return D3D_OK;
    }
    HRESULT CreateTexture(UINT width, UINT height, UINT, DWORD, D3DFORMAT format, D3DPOOL,
                          IDirect3DTexture8** texture) override {
        createdTextures.push_back(std::make_unique<FakeTexture>(width, height, format));
        *texture = createdTextures.back().get();
        return D3D_OK;
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer8** buffer) override {
        if (vertexBufferResult != D3D_OK) {
            *buffer = nullptr;
            return vertexBufferResult;
        }
        createdBuffers.push_back(std::make_unique<FakeVertexBuffer>(length));
        *buffer = createdBuffers.back().get();
        return D3D_OK;
    }
    HRESULT SetStreamSource(UINT number, IDirect3DVertexBuffer8* buffer, UINT stride) override {
        stream = static_cast<FakeVertexBuffer*>(buffer);
        calls.push_back("STREAM " + std::to_string(number) + " " + std::to_string(stride));
        return D3D_OK;
    }
    HRESULT SetVertexShader(DWORD handle) override {
        calls.push_back("VS " + std::to_string(handle));
        return D3D_OK;
    }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT start, UINT count) override {
        calls.push_back("DRAW " + std::to_string(type) + " " + std::to_string(start) + " " +
                        std::to_string(count));
        DrawCall draw{type, count, {}};
        const UINT vertices = type == D3DPT_TRIANGLESTRIP ? count + 2 : count * 3;
        if (stream && stream->data.size() >= (start + vertices) * sizeof(ScreenVertex))
            draw.vertices.assign(stream->Vertices() + start, stream->Vertices() + start + vertices);
        draws.push_back(std::move(draw));
        return D3D_OK;
    }
    HRESULT BeginStateBlock() override {
        blocks.push_back(std::make_unique<Block>());
        recording = blocks.back().get();
        return D3D_OK;
    }
    HRESULT EndStateBlock(DWORD* token) override {
        recording = nullptr;
        ++liveStateBlocks;
        *token = static_cast<DWORD>(blocks.size());
        return D3D_OK;
    }
    HRESULT ApplyStateBlock(DWORD token) override {
        calls.push_back("APPLY");
        Block* block = Find(token);
        if (!block)
            return D3DERR_INVALIDCALL;
        for (auto& [state, value] : block->renderStates)
            renderStates[state] = value;
        for (auto& [key, value] : block->stageStates)
            stageStates[key] = value;
        for (DWORD stage = 0; stage < 8; ++stage)
            if (block->hasTexture[stage])
                textures[stage] = block->textures[stage];
        return D3D_OK;
    }
    HRESULT CaptureStateBlock(DWORD token) override {
        calls.push_back("CAPTURE");
        Block* block = Find(token);
        if (!block)
            return D3DERR_INVALIDCALL;
        for (auto& [state, value] : block->renderStates)
            value = renderStates[state];
        for (auto& [key, value] : block->stageStates)
            value = stageStates[key];
        for (DWORD stage = 0; stage < 8; ++stage)
            if (block->hasTexture[stage])
                block->textures[stage] = textures[stage];
        return D3D_OK;
    }
    HRESULT DeleteStateBlock(DWORD token) override {
        if (!Find(token))
            return D3DERR_INVALIDCALL;
        blocks[token - 1].reset();
        --liveStateBlocks;
        return D3D_OK;
    }
    BOOL ShowCursor(BOOL) override { return FALSE; }
    void SetCursorPosition(int, int, DWORD) override {}

    D3DMATERIAL8 lastMaterial{};
    std::map<uint32_t, D3DMATRIX> transforms;

  private:
    struct Block {
        std::map<uint32_t, DWORD> renderStates;
        std::map<std::pair<DWORD, uint32_t>, DWORD> stageStates;
        IDirect3DBaseTexture8* textures[8] = {};
        bool hasTexture[8] = {};
    };
    Block* Find(DWORD token) {
        if (token == 0 || token > blocks.size())
            return nullptr;
        return blocks[token - 1].get();
    }
    std::vector<std::unique_ptr<Block>> blocks;
    Block* recording = nullptr;
};
