// The frame capture file. Header (32 bytes, little-endian):
//   magic "BFCF", version, width, height, body bytes, packed bytes, CRC-32 of
//   the header's first 24 bytes followed by the body, reserved (0)
// then the body deflated with zlib. Body, all little-endian:
//   texture count; per texture: hash (u64), level count, per level: width,
//     height, width x height texels
//   command count; per command: kind (1 clear, 2 draw), then
//     clear: colour, rect count, rects (x1, y1, x2, y2 as i32)
//     draw: texture index (or 0xFFFFFFFF), primitive, primitive count, the
//       captured device states, the decoded pipeline (CapturedPipeline),
//       vertex count, vertices (kCapturedVertexBytes each)
#include "platform/capture/d3d8_capture.h"
#include "platform/os/files.h"

#include <zlib.h>

#include <bit>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {
namespace {

constexpr char kMagic[4] = {'B', 'F', 'C', 'F'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kClearKind = 1, kDrawKind = 2;
constexpr uint32_t kMaxBodyBytes = 256u << 20;
constexpr int32_t kMaxSide = 4096;

struct CaptureFileHeader {
    char magic[4];
    uint32_t version;
    uint32_t width, height;
    uint32_t bodyBytes, packedBytes;
    uint32_t bodyCrc;
    uint32_t reserved;
};
static_assert(sizeof(CaptureFileHeader) == 32);
constexpr size_t kCheckedHeaderBytes = offsetof(CaptureFileHeader, bodyCrc);

// The decoded pipeline state as it is stored: the enums and flags as bytes.
struct CapturedPipeline {
    uint8_t colourOp, colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2;
    uint8_t alphaTest, alphaFunc, alphaRef, blend, srcBlend, destBlend;
    uint8_t flat, cull, minFilter, magFilter, mipmaps, pad[3];
    uint32_t textureFactor;
};
static_assert(sizeof(CapturedPipeline) == 24);
// Vertices go to the file as the device holds them.
static_assert(std::endian::native == std::endian::little);

class Writer {
  public:
    void U8(uint8_t v) { bytes.push_back(v); }
    void U32(uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(v >> shift));
        }
    }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void Bytes(const uint8_t* data, size_t size) { bytes.insert(bytes.end(), data, data + size); }

    std::vector<uint8_t> bytes;
};

// Every read is bounds-checked; the first failure sticks.
class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data(data), size(size) {}
    bool Ok() const { return ok; }
    size_t Left() const { return size - at; }
    bool Has(uint64_t count) {
        ok = ok && count <= Left();
        return ok;
    }
    uint8_t U8() { return Has(1) ? data[at++] : 0; }
    uint32_t U32() {
        if (!Has(4)) {
            return 0;
        }
        uint32_t v = 0;
        for (int k = 0; k < 4; ++k) {
            v |= uint32_t{data[at++]} << (8 * k);
        }
        return v;
    }
    uint64_t U64() {
        const uint64_t low = U32();
        return low | uint64_t{U32()} << 32;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    const uint8_t* Take(size_t count) {
        if (!Has(count)) {
            return nullptr;
        }
        const uint8_t* p = data + at;
        at += count;
        return p;
    }
    void Fail() { ok = false; }

  private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    bool ok = true;
};

CapturedPipeline Pack(const RasterState& s) {
    CapturedPipeline p{};
    p.colourOp = static_cast<uint8_t>(s.colourOp);
    p.colourArg1 = static_cast<uint8_t>(s.colourArg1);
    p.colourArg2 = static_cast<uint8_t>(s.colourArg2);
    p.alphaOp = static_cast<uint8_t>(s.alphaOp);
    p.alphaArg1 = static_cast<uint8_t>(s.alphaArg1);
    p.alphaArg2 = static_cast<uint8_t>(s.alphaArg2);
    p.alphaTest = s.alphaTest ? 1 : 0;
    p.alphaFunc = static_cast<uint8_t>(s.alphaFunc);
    p.alphaRef = s.alphaRef;
    p.blend = s.blend ? 1 : 0;
    p.srcBlend = static_cast<uint8_t>(s.srcBlend);
    p.destBlend = static_cast<uint8_t>(s.destBlend);
    p.flat = s.flat ? 1 : 0;
    p.cull = static_cast<uint8_t>(s.cull);
    p.minFilter = static_cast<uint8_t>(s.minFilter);
    p.magFilter = static_cast<uint8_t>(s.magFilter);
    p.mipmaps = s.mipmaps ? 1 : 0;
    p.textureFactor = s.textureFactor;
    return p;
}

// Enumerators out of range are refused: the rasterizer switches over them.
bool Unpack(const CapturedPipeline& p, RasterState* s) {
    const auto within = [](uint8_t value, uint8_t last) { return value <= last; };
    if (!within(p.colourOp, 3) || !within(p.alphaOp, 3) || !within(p.colourArg1, 2) ||
        !within(p.colourArg2, 2) || !within(p.alphaArg1, 2) || !within(p.alphaArg2, 2) ||
        !within(p.alphaFunc, 7) || !within(p.srcBlend, 9) || !within(p.destBlend, 9) || !within(p.cull, 2) ||
        !within(p.minFilter, 1) || !within(p.magFilter, 1) || !within(p.alphaTest, 1) ||
        !within(p.blend, 1) || !within(p.flat, 1) || !within(p.mipmaps, 1)) {
        return false;
    }
    s->colourOp = static_cast<RasterOp>(p.colourOp);
    s->colourArg1 = static_cast<RasterArg>(p.colourArg1);
    s->colourArg2 = static_cast<RasterArg>(p.colourArg2);
    s->alphaOp = static_cast<RasterOp>(p.alphaOp);
    s->alphaArg1 = static_cast<RasterArg>(p.alphaArg1);
    s->alphaArg2 = static_cast<RasterArg>(p.alphaArg2);
    s->alphaTest = p.alphaTest != 0;
    s->alphaFunc = static_cast<RasterCompare>(p.alphaFunc);
    s->alphaRef = p.alphaRef;
    s->blend = p.blend != 0;
    s->srcBlend = static_cast<RasterBlend>(p.srcBlend);
    s->destBlend = static_cast<RasterBlend>(p.destBlend);
    s->flat = p.flat != 0;
    s->cull = static_cast<RasterCull>(p.cull);
    s->minFilter = static_cast<RasterFilter>(p.minFilter);
    s->magFilter = static_cast<RasterFilter>(p.magFilter);
    s->mipmaps = p.mipmaps != 0;
    s->textureFactor = p.textureFactor;
    return true;
}

void WritePipeline(Writer& w, const RasterState& state) {
    const CapturedPipeline p = Pack(state);
    for (uint8_t b :
         {p.colourOp,  p.colourArg1, p.colourArg2, p.alphaOp,  p.alphaArg1, p.alphaArg2, p.alphaTest,
          p.alphaFunc, p.alphaRef,   p.blend,      p.srcBlend, p.destBlend, p.flat,      p.cull,
          p.minFilter, p.magFilter,  p.mipmaps,    uint8_t{0}, uint8_t{0},  uint8_t{0}}) {
        w.U8(b);
    }
    w.U32(p.textureFactor);
}

bool ReadPipeline(Reader& r, RasterState* state) {
    CapturedPipeline p{};
    uint8_t* fields[] = {&p.colourOp,  &p.colourArg1, &p.colourArg2, &p.alphaOp,  &p.alphaArg1,
                         &p.alphaArg2, &p.alphaTest,  &p.alphaFunc,  &p.alphaRef, &p.blend,
                         &p.srcBlend,  &p.destBlend,  &p.flat,       &p.cull,     &p.minFilter,
                         &p.magFilter, &p.mipmaps,    &p.pad[0],     &p.pad[1],   &p.pad[2]};
    for (uint8_t* field : fields) {
        *field = r.U8();
    }
    p.textureFactor = r.U32();
    return r.Ok() && Unpack(p, state);
}

std::vector<uint8_t> EncodeBody(const FrameCapture& capture) {
    Writer w;
    w.U32(static_cast<uint32_t>(capture.textures.size()));
    for (const CapturedTexture& texture : capture.textures) {
        w.U64(texture.hash);
        w.U32(static_cast<uint32_t>(texture.levels.size()));
        for (const CapturedLevel& level : texture.levels) {
            w.I32(level.width);
            w.I32(level.height);
            for (uint32_t texel : level.texels) {
                w.U32(texel);
            }
        }
    }
    w.U32(static_cast<uint32_t>(capture.commands.size()));
    for (const CapturedCommand& command : capture.commands) {
        if (const auto* clear = std::get_if<CapturedClear>(&command)) {
            w.U32(kClearKind);
            w.U32(clear->colour);
            w.U32(static_cast<uint32_t>(clear->rects.size()));
            for (const D3DRECT& r : clear->rects) {
                w.I32(r.x1);
                w.I32(r.y1);
                w.I32(r.x2);
                w.I32(r.y2);
            }
            continue;
        }
        const CapturedDraw& draw = std::get<CapturedDraw>(command);
        w.U32(kDrawKind);
        w.U32(draw.texture);
        w.U32(draw.primitive);
        w.U32(draw.primitiveCount);
        for (DWORD value : draw.deviceStates) {
            w.U32(value);
        }
        WritePipeline(w, draw.state);
        w.U32(static_cast<uint32_t>(draw.vertices.size() / kCapturedVertexBytes));
        w.Bytes(draw.vertices.data(), draw.vertices.size()); // already little-endian floats and colours
    }
    return std::move(w.bytes);
}

bool ReadTexture(Reader& r, CapturedTexture* texture) {
    texture->hash = r.U64();
    const uint32_t levelCount = r.U32();
    if (!r.Ok() || levelCount == 0 || levelCount > static_cast<uint32_t>(kMaxTextureLevels)) {
        return false;
    }
    texture->levels.resize(levelCount);
    for (CapturedLevel& level : texture->levels) {
        level.width = r.I32();
        level.height = r.I32();
        if (!r.Ok() || level.width <= 0 || level.height <= 0 || level.width > kMaxSide ||
            level.height > kMaxSide ||
            !r.Has(uint64_t{4} * static_cast<uint32_t>(level.width) * static_cast<uint32_t>(level.height))) {
            return false;
        }
        level.texels.resize(static_cast<size_t>(level.width) * static_cast<size_t>(level.height));
        for (uint32_t& texel : level.texels) {
            texel = r.U32();
        }
    }
    return r.Ok();
}

bool ReadClear(Reader& r, CapturedClear* clear) {
    clear->colour = r.U32();
    const uint32_t rectCount = r.U32();
    if (!r.Has(uint64_t{16} * rectCount)) {
        return false;
    }
    clear->rects.resize(rectCount);
    for (D3DRECT& rect : clear->rects) {
        rect.x1 = r.I32();
        rect.y1 = r.I32();
        rect.x2 = r.I32();
        rect.y2 = r.I32();
    }
    return r.Ok();
}

bool ReadDraw(Reader& r, size_t textureCount, CapturedDraw* draw) {
    draw->texture = r.U32();
    draw->primitive = r.U32();
    draw->primitiveCount = r.U32();
    for (DWORD& value : draw->deviceStates) {
        value = r.U32();
    }
    if (!ReadPipeline(r, &draw->state)) {
        return false;
    }
    const uint32_t vertexCount = r.U32();
    const bool list = draw->primitive == D3DPT_TRIANGLELIST;
    if (!r.Ok() || (draw->texture != kNoCapturedTexture && draw->texture >= textureCount) ||
        (!list && draw->primitive != D3DPT_TRIANGLESTRIP) || draw->primitiveCount == 0 ||
        draw->primitiveCount > 65535 ||
        vertexCount != (list ? draw->primitiveCount * 3 : draw->primitiveCount + 2)) {
        return false;
    }
    const uint8_t* bytes = r.Take(size_t{vertexCount} * kCapturedVertexBytes);
    if (bytes == nullptr) {
        return false;
    }
    draw->vertices.assign(bytes, bytes + size_t{vertexCount} * kCapturedVertexBytes);
    return true;
}

bool DecodeBody(const uint8_t* data, size_t size, FrameCapture* capture) {
    Reader r(data, size);
    const uint32_t textureCount = r.U32();
    if (!r.Has(uint64_t{12} * textureCount)) {
        return false;
    }
    capture->textures.resize(textureCount);
    for (CapturedTexture& texture : capture->textures) {
        if (!ReadTexture(r, &texture)) {
            return false;
        }
    }
    const uint32_t commandCount = r.U32();
    if (!r.Has(uint64_t{4} * commandCount)) {
        return false;
    }
    capture->commands.reserve(commandCount);
    for (uint32_t k = 0; k < commandCount; ++k) {
        const uint32_t kind = r.U32();
        if (kind == kClearKind) {
            CapturedClear clear;
            if (!ReadClear(r, &clear)) {
                return false;
            }
            capture->commands.emplace_back(std::move(clear));
        } else if (kind == kDrawKind) {
            CapturedDraw draw;
            if (!ReadDraw(r, capture->textures.size(), &draw)) {
                return false;
            }
            capture->commands.emplace_back(std::move(draw));
        } else {
            return false;
        }
    }
    return r.Ok() && r.Left() == 0;
}

bool Refuse(const char* reason, FrameCapture* capture, std::string* error) {
    *capture = FrameCapture{};
    *error = reason;
    return false;
}

} // namespace

size_t FrameCapture::TriangleCount() const {
    size_t count = 0;
    for (const CapturedCommand& command : commands) {
        if (const auto* draw = std::get_if<CapturedDraw>(&command)) {
            count += draw->primitiveCount;
        }
    }
    return count;
}

std::vector<uint8_t> EncodeFrameCapture(const FrameCapture& capture) {
    const std::vector<uint8_t> body = EncodeBody(capture);
    uLongf packedSize = compressBound(static_cast<uLong>(body.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.data(), static_cast<uLong>(body.size()), 9) != Z_OK) {
        return {};
    }
    packed.resize(packedSize);
    Writer w;
    w.Bytes(reinterpret_cast<const uint8_t*>(kMagic), sizeof kMagic);
    w.U32(kVersion);
    w.I32(capture.width);
    w.I32(capture.height);
    w.U32(static_cast<uint32_t>(body.size()));
    w.U32(static_cast<uint32_t>(packed.size()));
    const uLong headerCrc = crc32(0, w.bytes.data(), static_cast<uInt>(w.bytes.size()));
    w.U32(static_cast<uint32_t>(crc32(headerCrc, body.data(), static_cast<uInt>(body.size()))));
    w.U32(0);
    w.Bytes(packed.data(), packed.size());
    return std::move(w.bytes);
}

bool DecodeFrameCapture(const std::vector<uint8_t>& bytes, FrameCapture* capture, std::string* error) {
    *capture = FrameCapture{};
    Reader r(bytes.data(), bytes.size());
    const uint8_t* magic = r.Take(sizeof kMagic);
    CaptureFileHeader h{};
    h.version = r.U32();
    h.width = r.U32();
    h.height = r.U32();
    h.bodyBytes = r.U32();
    h.packedBytes = r.U32();
    h.bodyCrc = r.U32();
    h.reserved = r.U32();
    if (!r.Ok()) {
        return Refuse("truncated header", capture, error);
    }
    if (std::memcmp(magic, kMagic, sizeof kMagic) != 0 || h.version != kVersion || h.reserved != 0) {
        return Refuse("not a frame capture of this version", capture, error);
    }
    if (h.width == 0 || h.height == 0 || h.width > static_cast<uint32_t>(kMaxSide) ||
        h.height > static_cast<uint32_t>(kMaxSide) || h.bodyBytes > kMaxBodyBytes) {
        return Refuse("implausible header", capture, error);
    }
    if (r.Left() != h.packedBytes) {
        return Refuse("truncated or padded body", capture, error);
    }
    std::vector<uint8_t> body(h.bodyBytes);
    uLongf bodySize = h.bodyBytes;
    if (uncompress(body.data(), &bodySize, r.Take(h.packedBytes), h.packedBytes) != Z_OK ||
        bodySize != h.bodyBytes ||
        crc32(crc32(0, bytes.data(), kCheckedHeaderBytes), body.data(), static_cast<uInt>(body.size())) !=
            h.bodyCrc) {
        return Refuse("corrupt body", capture, error);
    }
    if (!DecodeBody(body.data(), body.size(), capture)) {
        return Refuse("malformed body", capture, error);
    }
    capture->width = static_cast<int32_t>(h.width);
    capture->height = static_cast<int32_t>(h.height);
    return true;
}

bool WriteFrameCapture(const std::string& path, const FrameCapture& capture, std::string* error) {
    const std::vector<uint8_t> bytes = EncodeFrameCapture(capture);
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(path.c_str(), "wb"), std::fclose);
    if (bytes.empty() || !file || std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ReadFrameCapture(const std::string& path, FrameCapture* capture, std::string* error) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(OpenFile(path.c_str(), "rb"), std::fclose);
    if (!file) {
        return Refuse("cannot open the file", capture, error);
    }
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (bytes.size() > kMaxBodyBytes) {
            return Refuse("file too large", capture, error);
        }
    }
    if (std::ferror(file.get()) != 0) {
        return Refuse("cannot read the file", capture, error);
    }
    return DecodeFrameCapture(bytes, capture, error);
}

} // namespace platform
