// Throughput of the rasterizer's specialised paths on the game's typical loads,
// in covered pixels per second.
#include "fill_textures.h"
#include "platform/os/program_entry.h"
#include "platform/raster/raster.h"
#include "platform/raster/raster_fast.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

using bench::GlowTexels;
using bench::TileTexels;

using platform::RasterState;
using platform::RasterTexture;
using platform::RasterVertex;

constexpr int kWidth = 800, kHeight = 600;

struct Scene {
    Scene() : pixels(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u) {}
    platform::RasterTarget Target() { return {pixels.data(), kWidth, kHeight, kWidth}; }
    std::vector<uint32_t> pixels;
};

RasterTexture View(const std::vector<uint32_t>& texels, int size) {
    RasterTexture view;
    view.levelCount = 1;
    view.levels[0] = {texels.data(), size, size, size};
    return view;
}

// The screen tiled with 256 x 256 quads mapped texel for texel, starting off
// screen as the drifting backdrops do.
int64_t DrawTiles(const RasterState& st, const RasterTexture& texture, Scene& scene) {
    int64_t covered = 0;
    const float u1 = 256.0f / 255.0f;
    for (int top = -100; top < kHeight; top += 256) {
        for (int left = -60; left < kWidth; left += 256) {
            const float l = static_cast<float>(left), t = static_cast<float>(top);
            const RasterVertex a{l, t, 0xFFFFFFFFu, 0, 0}, b{l + 256, t, 0xFFFFFFFFu, u1, 0},
                c{l, t + 256, 0xFFFFFFFFu, 0, u1}, d{l + 256, t + 256, 0xFFFFFFFFu, u1, u1};
            covered += platform::DrawTriangle(st, texture, a, b, c, scene.Target());
            covered += platform::DrawTriangle(st, texture, b, d, c, scene.Target());
        }
    }
    return covered;
}

RasterState AlphaBlendState() {
    RasterState st;
    st.cull = platform::RasterCull::None;
    st.blend = true;
    st.srcBlend = platform::RasterBlend::SrcAlpha;
    st.destBlend = platform::RasterBlend::InvSrcAlpha;
    st.alphaTest = true;
    st.alphaFunc = platform::RasterCompare::GreaterEqual;
    st.alphaRef = 8;
    return st;
}

RasterState AdditiveState(platform::RasterFilter filter) {
    RasterState st = AlphaBlendState();
    st.alphaOp = platform::RasterOp::Modulate;
    st.srcBlend = platform::RasterBlend::One;
    st.destBlend = platform::RasterBlend::One;
    st.flat = true;
    st.minFilter = st.magFilter = filter;
    return st;
}

void Report(benchmark::State& state, int64_t pixels) {
    state.counters["Mpixels/s"] =
        benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
}

void TilesPointAlphaBlended(benchmark::State& state) {
    const std::vector<uint32_t> texels = TileTexels();
    const RasterTexture texture = View(texels, 256);
    const RasterState st = AlphaBlendState();
    Scene scene;
    int64_t pixels = 0;
    for (auto _ : state) {
        pixels += DrawTiles(st, texture, scene);
        benchmark::DoNotOptimize(scene.pixels.data());
    }
    Report(state, pixels);
}
BENCHMARK(TilesPointAlphaBlended);

void TilesPointAdditive(benchmark::State& state) {
    const std::vector<uint32_t> texels = TileTexels();
    const RasterTexture texture = View(texels, 256);
    const RasterState st = AdditiveState(platform::RasterFilter::Point);
    Scene scene;
    int64_t pixels = 0;
    for (auto _ : state) {
        pixels += DrawTiles(st, texture, scene);
        benchmark::DoNotOptimize(scene.pixels.data());
    }
    Report(state, pixels);
}
BENCHMARK(TilesPointAdditive);

// 1,800 particle triangles 10 to 64 pixels across, bilinear and additive.
void Particles(benchmark::State& state) {
    const std::vector<uint32_t> texels = GlowTexels();
    const RasterTexture texture = View(texels, 32);
    const RasterState st = AdditiveState(platform::RasterFilter::Bilinear);
    std::vector<RasterVertex> vertices;
    uint32_t seed = 12345;
    const auto next = [&seed](float range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f * range;
    };
    for (int k = 0; k < 1800; ++k) {
        const float size = 5.0f + next(27.0f), x = next(kWidth), y = next(kHeight), angle = next(6.2831853f);
        const uint32_t colour = 0xFF000000u | static_cast<uint32_t>(next(255.0f)) << 16 | 0x8040u;
        for (int corner = 0; corner < 3; ++corner) {
            const float a = angle + 2.0943951f * corner;
            vertices.push_back({x + size * std::sin(a), y - size * std::cos(a), colour,
                                0.5f + 0.5f * std::sin(a), 0.5f - 0.5f * std::cos(a)});
        }
    }
    Scene scene;
    int64_t pixels = 0;
    for (auto _ : state) {
        for (size_t k = 0; k < vertices.size(); k += 3) {
            pixels += platform::DrawTriangle(st, texture, vertices[k], vertices[k + 1], vertices[k + 2],
                                             scene.Target());
        }
        benchmark::DoNotOptimize(scene.pixels.data());
    }
    Report(state, pixels);
}

void ParticlesBilinearAdditive(benchmark::State& state) {
    Particles(state);
}
BENCHMARK(ParticlesBilinearAdditive);

// The same with the SSE2 fetcher and kernels alone, as on processors without AVX2.
void ParticlesBilinearAdditiveSse2(benchmark::State& state) {
    platform::UseWideVectors(false);
    Particles(state);
    platform::UseWideVectors(true);
}
BENCHMARK(ParticlesBilinearAdditiveSse2);

} // namespace

int main(int argc, char** argv) {
    // Which bilinear path this processor (and system) gets, for the report.
    benchmark::AddCustomContext("bilinear_path", platform::WideVectorsInUse() ? "avx2" : "sse2");
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
