#include "platform/capture/d3d8_capture.h"

#include "platform/d3d8/call_recorder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

namespace platform {
namespace {

// Records the device's calls from arming to the next present, then writes the
// file and uninstalls itself.
class FileRecorder final : public DeviceCallRecorder {
public:
    void Arm(const std::string& file);
    void Clear(DWORD count, const D3DRECT* rects, D3DCOLOR colour) override;
    void Draw(const DeviceState& device, const RasterState& state, const RasterTexture& texture,
              D3DPRIMITIVETYPE primitive, const uint8_t* vertices, UINT stride, UINT primitiveCount) override;
    void Present(int32_t width, int32_t height) override;

    std::string path;
    FrameCapture frame;
    std::map<uint64_t, uint32_t> textureByHash;
};

FileRecorder recorder;

// FNV-1a over the level sizes and texels: textures are told apart by content,
// not by the object that held them.
uint64_t HashTexture(const RasterTexture& texture) {
    uint64_t hash = 0xcbf29ce484222325ull;
    const auto mix = [&hash](uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash = (hash ^ ((word >> shift) & 0xFFu)) * 0x100000001b3ull;
        }
    };
    mix(static_cast<uint32_t>(texture.levelCount));
    for (int32_t k = 0; k < texture.levelCount; ++k) {
        const RasterTextureLevel& level = texture.levels[k];
        mix(static_cast<uint32_t>(level.width));
        mix(static_cast<uint32_t>(level.height));
        for (int32_t y = 0; y < level.height; ++y) {
            const uint32_t* row = level.texels + static_cast<int64_t>(y) * level.pitch;
            for (int32_t x = 0; x < level.width; ++x) {
                mix(row[x]);
            }
        }
    }
    return hash;
}

uint32_t KeepTexture(FileRecorder& recorder, const RasterTexture& texture) {
    if (texture.levelCount == 0) {
        return kNoCapturedTexture;
    }
    const uint64_t hash = HashTexture(texture);
    const auto found = recorder.textureByHash.find(hash);
    if (found != recorder.textureByHash.end()) {
        return found->second;
    }
    CapturedTexture kept;
    kept.hash = hash;
    for (int32_t k = 0; k < texture.levelCount; ++k) {
        const RasterTextureLevel& level = texture.levels[k];
        CapturedLevel copy;
        copy.width = level.width;
        copy.height = level.height;
        for (int32_t y = 0; y < level.height; ++y) {
            const uint32_t* row = level.texels + static_cast<int64_t>(y) * level.pitch;
            copy.texels.insert(copy.texels.end(), row, row + level.width);
        }
        kept.levels.push_back(std::move(copy));
    }
    const auto index = static_cast<uint32_t>(recorder.frame.textures.size());
    recorder.frame.textures.push_back(std::move(kept));
    recorder.textureByHash[hash] = index;
    return index;
}

RasterVertex ReadVertex(const uint8_t* bytes) {
    float f[7];
    std::memcpy(f, bytes, sizeof f);
    uint32_t diffuse = 0;
    std::memcpy(&diffuse, bytes + 16, sizeof diffuse);
    return RasterVertex{f[0], f[1], diffuse, f[5], f[6]};
}

RasterTexture ViewOf(const CapturedTexture& texture) {
    RasterTexture view;
    view.levelCount = static_cast<int32_t>(texture.levels.size());
    for (int32_t k = 0; k < view.levelCount; ++k) {
        const CapturedLevel& level = texture.levels[k];
        view.levels[k] = RasterTextureLevel{level.texels.data(), level.width, level.height, level.width};
    }
    return view;
}

void ClearRaster(const CapturedClear& clear, const RasterTarget& target) {
    const uint32_t value = clear.colour | 0xFF000000u;
    const std::vector<D3DRECT> whole{D3DRECT{0, 0, target.width, target.height}};
    for (const D3DRECT& r : clear.rects.empty() ? whole : clear.rects) {
        const int32_t left = std::max<int32_t>(r.x1, 0), top = std::max<int32_t>(r.y1, 0);
        const int32_t right = std::min<int32_t>(r.x2, target.width),
                      bottom = std::min<int32_t>(r.y2, target.height);
        for (int32_t y = top; y < bottom; ++y) {
            std::fill_n(target.pixels + static_cast<int64_t>(y) * target.pitch + left,
                        std::max(right - left, 0), value);
        }
    }
}

int64_t DrawRaster(const CapturedDraw& draw, const RasterTexture& texture, ReplayPath path,
                   const RasterTarget& target) {
    const auto triangle = path == ReplayPath::Fast ? DrawTriangle : DrawTriangleReference;
    const bool strip = draw.primitive == D3DPT_TRIANGLESTRIP;
    int64_t covered = 0;
    for (uint32_t k = 0; k < draw.primitiveCount; ++k) {
        const uint8_t* first = draw.vertices.data() + size_t{strip ? k : 3 * k} * kCapturedVertexBytes;
        const RasterVertex a = ReadVertex(first);
        const RasterVertex b = ReadVertex(first + kCapturedVertexBytes);
        const RasterVertex c = ReadVertex(first + 2 * kCapturedVertexBytes);
        // odd strip triangles run the other way round, as the device draws them
        covered += strip && (k & 1) != 0 ? triangle(draw.state, texture, a, c, b, target)
                                         : triangle(draw.state, texture, a, b, c, target);
    }
    return covered;
}

// The capture's textures made on the device, with their texels filled in.
HRESULT MakeTextures(const FrameCapture& capture, IDirect3DDevice8* device,
                     std::vector<IDirect3DTexture8*>* textures) {
    for (const CapturedTexture& captured : capture.textures) {
        const CapturedLevel& top = captured.levels[0];
        IDirect3DTexture8* texture = nullptr;
        HRESULT result = device->CreateTexture(static_cast<UINT>(top.width), static_cast<UINT>(top.height),
                                               static_cast<UINT>(captured.levels.size()), 0, D3DFMT_A8R8G8B8,
                                               D3DPOOL_MANAGED, &texture);
        if (FAILED(result)) {
            return result;
        }
        textures->push_back(texture);
        for (UINT k = 0; k < captured.levels.size(); ++k) {
            const CapturedLevel& level = captured.levels[k];
            D3DSURFACE_DESC desc{};
            D3DLOCKED_RECT locked{};
            if (FAILED(result = texture->GetLevelDesc(k, &desc)) ||
                desc.Width != static_cast<UINT>(level.width) ||
                desc.Height != static_cast<UINT>(level.height)) {
                return FAILED(result) ? result : D3DERR_INVALIDCALL;
            }
            if (FAILED(result = texture->LockRect(k, &locked, nullptr, 0))) {
                return result;
            }
            for (int32_t y = 0; y < level.height; ++y) {
                std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<int64_t>(y) * locked.Pitch,
                            level.texels.data() + static_cast<size_t>(y) * level.width,
                            size_t{4} * level.width);
            }
            texture->UnlockRect(k);
        }
    }
    return D3D_OK;
}

HRESULT IssueDraw(const CapturedDraw& draw, IDirect3DDevice8* device, IDirect3DTexture8* texture,
                  IDirect3DVertexBuffer8* buffer) {
    for (size_t k = 0; k < kCapturedStateCount; ++k) {
        const CapturedStateSlot& slot = kCapturedStateSlots[k];
        if (slot.stage < 0) {
            device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(slot.state), draw.deviceStates[k]);
        } else {
            device->SetTextureStageState(static_cast<DWORD>(slot.stage),
                                         static_cast<D3DTEXTURESTAGESTATETYPE>(slot.state),
                                         draw.deviceStates[k]);
        }
    }
    device->SetTexture(0, texture);
    BYTE* data = nullptr;
    HRESULT result = buffer->Lock(0, static_cast<UINT>(draw.vertices.size()), &data, 0);
    if (FAILED(result)) {
        return result;
    }
    std::memcpy(data, draw.vertices.data(), draw.vertices.size());
    buffer->Unlock();
    return device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(draw.primitive), 0, draw.primitiveCount);
}

HRESULT ReplayCommands(const FrameCapture& capture, IDirect3DDevice8* device,
                       const std::vector<IDirect3DTexture8*>& textures, IDirect3DVertexBuffer8* buffer) {
    for (const CapturedCommand& command : capture.commands) {
        HRESULT result = D3D_OK;
        if (const auto* clear = std::get_if<CapturedClear>(&command)) {
            result = device->Clear(static_cast<DWORD>(clear->rects.size()),
                                   clear->rects.empty() ? nullptr : clear->rects.data(), D3DCLEAR_TARGET,
                                   clear->colour, 1.0f, 0);
        } else {
            const CapturedDraw& draw = std::get<CapturedDraw>(command);
            result = IssueDraw(draw, device,
                               draw.texture == kNoCapturedTexture ? nullptr : textures[draw.texture], buffer);
        }
        if (FAILED(result)) {
            return result;
        }
    }
    return D3D_OK;
}

} // namespace

int64_t ReplayIntoRaster(const FrameCapture& capture, ReplayPath path, const RasterTarget& target) {
    std::vector<RasterTexture> views;
    views.reserve(capture.textures.size());
    for (const CapturedTexture& texture : capture.textures) {
        views.push_back(ViewOf(texture));
    }
    static const RasterTexture kNoTexture;
    int64_t covered = 0;
    for (const CapturedCommand& command : capture.commands) {
        if (const auto* clear = std::get_if<CapturedClear>(&command)) {
            ClearRaster(*clear, target);
        } else {
            const CapturedDraw& draw = std::get<CapturedDraw>(command);
            covered += DrawRaster(draw, draw.texture == kNoCapturedTexture ? kNoTexture : views[draw.texture],
                                  path, target);
        }
    }
    return covered;
}

HRESULT ReplayIntoDevice(const FrameCapture& capture, IDirect3DDevice8* device) {
    size_t largest = kCapturedVertexBytes;
    for (const CapturedCommand& command : capture.commands) {
        if (const auto* draw = std::get_if<CapturedDraw>(&command)) {
            largest = std::max(largest, draw->vertices.size());
        }
    }
    std::vector<IDirect3DTexture8*> textures;
    IDirect3DVertexBuffer8* buffer = nullptr;
    HRESULT result = MakeTextures(capture, device, &textures);
    if (SUCCEEDED(result)) {
        result = device->CreateVertexBuffer(static_cast<UINT>(largest), D3DUSAGE_WRITEONLY,
                                            D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1, D3DPOOL_MANAGED,
                                            &buffer);
    }
    if (SUCCEEDED(result)) {
        device->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1);
        device->SetStreamSource(0, buffer, kCapturedVertexBytes);
        result = device->BeginScene();
    }
    if (SUCCEEDED(result)) {
        result = ReplayCommands(capture, device, textures, buffer);
        device->EndScene();
    }
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0);
    if (buffer != nullptr) {
        buffer->Release();
    }
    for (IDirect3DTexture8* texture : textures) {
        texture->Release();
    }
    return result;
}

void FileRecorder::Arm(const std::string& file) {
    path = file;
    frame = FrameCapture{};
    textureByHash.clear();
    SetDeviceCallRecorder(this);
}

void FileRecorder::Clear(DWORD count, const D3DRECT* rects, D3DCOLOR colour) {
    CapturedClear clear;
    clear.colour = colour;
    if (count > 0) {
        clear.rects.assign(rects, rects + count);
    }
    frame.commands.emplace_back(std::move(clear));
}

void FileRecorder::Draw(const DeviceState& device, const RasterState& state, const RasterTexture& texture,
                        D3DPRIMITIVETYPE primitive, const uint8_t* vertices, UINT stride, UINT primitiveCount) {
    CapturedDraw draw;
    draw.texture = KeepTexture(*this, texture);
    draw.primitive = primitive;
    draw.primitiveCount = primitiveCount;
    for (size_t k = 0; k < kCapturedStateCount; ++k) {
        const CapturedStateSlot& slot = kCapturedStateSlots[k];
        draw.deviceStates[k] =
            slot.stage < 0 ? device.renderStates[slot.state] : device.stageStates[slot.stage][slot.state];
    }
    draw.state = state;
    const UINT vertexCount = primitive == D3DPT_TRIANGLELIST ? primitiveCount * 3 : primitiveCount + 2;
    for (UINT k = 0; k < vertexCount; ++k) {
        const uint8_t* vertex = vertices + size_t{k} * stride;
        draw.vertices.insert(draw.vertices.end(), vertex, vertex + kCapturedVertexBytes);
    }
    frame.commands.emplace_back(std::move(draw));
}

void FileRecorder::Present(int32_t width, int32_t height) {
    SetDeviceCallRecorder(nullptr);
    frame.width = width;
    frame.height = height;
    std::string error;
    if (!WriteFrameCapture(path, frame, &error)) {
        std::fprintf(stderr, "backfire: frame capture: %s\n", error.c_str());
    }
    frame = FrameCapture{};
    textureByHash.clear();
}

void ArmFrameCapture(const std::string& path) {
    recorder.Arm(path);
}

bool FrameCaptureArmed() {
    return CurrentDeviceCallRecorder() == &recorder;
}

} // namespace platform
