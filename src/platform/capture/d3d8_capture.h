// Internal to the platform layer: one presented frame of the software device
// recorded call by call (target clears, and draws with the states they were
// made under, their vertices and the texels of their texture), kept in a file
// and replayed into a device or straight into the rasterizer. Benchmarks and
// tests use it to redraw a real game frame without running the game.
#pragma once

#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/d3d8_state.h"
#include "platform/raster/raster.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// The device states a draw depends on, as (stage, state) pairs: stage -1 is a
// render state, 0 or 1 a texture stage state.
struct CapturedStateSlot {
    int32_t stage;
    uint32_t state;
};
constexpr CapturedStateSlot kCapturedStateSlots[] = {
    {-1, D3DRS_ALPHATESTENABLE},  {-1, D3DRS_ALPHAREF},  {-1, D3DRS_ALPHAFUNC},
    {-1, D3DRS_ALPHABLENDENABLE}, {-1, D3DRS_SRCBLEND},  {-1, D3DRS_DESTBLEND},
    {-1, D3DRS_BLENDOP},          {-1, D3DRS_SHADEMODE}, {-1, D3DRS_CULLMODE},
    {-1, D3DRS_TEXTUREFACTOR},    {0, D3DTSS_COLOROP},   {0, D3DTSS_COLORARG1},
    {0, D3DTSS_COLORARG2},        {0, D3DTSS_ALPHAOP},   {0, D3DTSS_ALPHAARG1},
    {0, D3DTSS_ALPHAARG2},        {0, D3DTSS_MINFILTER}, {0, D3DTSS_MAGFILTER},
    {0, D3DTSS_MIPFILTER},        {1, D3DTSS_COLOROP},
};
constexpr size_t kCapturedStateCount = sizeof kCapturedStateSlots / sizeof kCapturedStateSlots[0];

// Bytes of one vertex as the device reads it: x, y, z, rhw, diffuse, u, v.
constexpr uint32_t kCapturedVertexBytes = 28;

struct CapturedLevel {
    int32_t width = 0, height = 0;
    std::vector<uint32_t> texels; // 0xAARRGGBB, rows of width
};

// A texture as sampled, kept once per content however many draws use it.
struct CapturedTexture {
    uint64_t hash = 0;
    std::vector<CapturedLevel> levels;
};

// A clear of the target; no rects means the whole target.
struct CapturedClear {
    uint32_t colour = 0;
    std::vector<D3DRECT> rects;
};

constexpr uint32_t kNoCapturedTexture = 0xFFFFFFFFu;

struct CapturedDraw {
    uint32_t texture = kNoCapturedTexture; // index into FrameCapture::textures
    uint32_t primitive = D3DPT_TRIANGLELIST;
    uint32_t primitiveCount = 0;
    DWORD deviceStates[kCapturedStateCount] = {};
    RasterState state;             // what the device decoded deviceStates into
    std::vector<uint8_t> vertices; // kCapturedVertexBytes each, packed
};

using CapturedCommand = std::variant<CapturedClear, CapturedDraw>;

struct FrameCapture {
    int32_t width = 0, height = 0;
    std::vector<CapturedTexture> textures;
    std::vector<CapturedCommand> commands;

    size_t TriangleCount() const;
};

// The file: a 32-byte little-endian header, then the zlib-compressed body.
// Writing returns false (with a reason) when the file cannot be written.
bool WriteFrameCapture(const std::string& path, const FrameCapture& capture, std::string* error);
std::vector<uint8_t> EncodeFrameCapture(const FrameCapture& capture);
// Reading refuses a truncated, corrupt or implausible file with a reason and
// leaves *capture empty; a capture it accepts replays safely.
bool ReadFrameCapture(const std::string& path, FrameCapture* capture, std::string* error);
bool DecodeFrameCapture(const std::vector<uint8_t>& bytes, FrameCapture* capture, std::string* error);

enum class ReplayPath : uint8_t { Fast, Reference };

// Draws the frame into target (clears and draws clipped to it) through
// DrawTriangle or DrawTriangleReference; returns the pixels covered.
int64_t ReplayIntoRaster(const FrameCapture& capture, ReplayPath path, const RasterTarget& target);

// Issues the frame's calls on device between BeginScene and EndScene, with
// textures and a vertex buffer of its own; does not present. The first failing
// call's result is returned.
HRESULT ReplayIntoDevice(const FrameCapture& capture, IDirect3DDevice8* device);

// Recording. Once armed, the software device's calls are recorded from the
// next one on, and the file is written at its next Present, then recording
// stops; the reason of a failed write goes to stderr.
void ArmFrameCapture(const std::string& path);
bool FrameCaptureArmed();

} // namespace platform
