// For comparison with the rasterizer's fill benchmarks: SDL2's own software
// renderer (SDL_RenderGeometry into a surface) drawing the same triangles with
// the same texels, with the nearest blend modes SDL has (BLEND for the
// alpha-blended, alpha-tested tiles, ADD for the additive ones; SDL has no
// alpha test). Pixels per second count the pixels our rasterizer covers for
// the same triangles.
#include "fill_textures.h"
#include "platform/raster/raster.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using bench::GlowTexels;
using bench::TileTexels;

constexpr int kWidth = 800, kHeight = 600;

struct Triangles {
    std::vector<platform::RasterVertex> vertices; // for counting coverage
    std::vector<SDL_Vertex> sdl;
};

void Add(Triangles& t, float x, float y, uint32_t colour, float u, float v, float sdlU, float sdlV) {
    t.vertices.push_back({x, y, colour, u, v});
    SDL_Vertex s{};
    s.position = {x, y};
    s.color = {static_cast<Uint8>(colour >> 16), static_cast<Uint8>(colour >> 8), static_cast<Uint8>(colour),
               static_cast<Uint8>(colour >> 24)};
    s.tex_coord = {sdlU, sdlV};
    t.sdl.push_back(s);
}

// The screen tiled with 256 x 256 quads from (-60, -100), texel for texel.
Triangles Tiles() {
    Triangles t;
    const float u1 = 256.0f / 255.0f;
    for (int top = -100; top < kHeight; top += 256) {
        for (int left = -60; left < kWidth; left += 256) {
            const float l = static_cast<float>(left), tp = static_cast<float>(top);
            const float corner[4][4] = {
                {l, tp, 0, 0}, {l + 256, tp, u1, 0}, {l, tp + 256, 0, u1}, {l + 256, tp + 256, u1, u1}};
            for (int k : {0, 1, 2, 1, 3, 2}) {
                Add(t, corner[k][0], corner[k][1], 0xFFFFFFFFu, corner[k][2], corner[k][3], corner[k][2] / u1,
                    corner[k][3] / u1);
            }
        }
    }
    return t;
}

// 1,800 particle triangles 10 to 64 pixels across from the fixed seed.
Triangles Particles() {
    Triangles t;
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
            const float u = 0.5f + 0.5f * std::sin(a), v = 0.5f - 0.5f * std::cos(a);
            Add(t, x + size * std::sin(a), y - size * std::cos(a), colour, u, v, u, v);
        }
    }
    return t;
}

// The pixels our rasterizer covers for these triangles (coverage does not
// depend on the blend state).
int64_t Covered(const Triangles& t) {
    std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    const platform::RasterTarget target{pixels.data(), kWidth, kHeight, kWidth};
    platform::RasterState state;
    state.cull = platform::RasterCull::None;
    int64_t covered = 0;
    for (size_t k = 0; k + 2 < t.vertices.size(); k += 3) {
        covered += platform::DrawTriangle(state, platform::RasterTexture{}, t.vertices[k], t.vertices[k + 1],
                                          t.vertices[k + 2], target);
    }
    return covered;
}

void Draw(benchmark::State& state, const Triangles& triangles, const std::vector<uint32_t>& texels, int side,
          SDL_BlendMode blend) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, kWidth, kHeight, 32, SDL_PIXELFORMAT_ARGB8888);
    SDL_Renderer* renderer = surface != nullptr ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    SDL_Texture* texture = renderer != nullptr ? SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888,
                                                                   SDL_TEXTUREACCESS_STATIC, side, side)
                                               : nullptr;
    if (texture == nullptr) {
        std::fprintf(stderr, "bench_sdl_geometry: %s\n", SDL_GetError());
        std::exit(1);
    }
    SDL_UpdateTexture(texture, nullptr, texels.data(), side * 4);
    SDL_SetTextureBlendMode(texture, blend);
    SDL_SetTextureScaleMode(texture, SDL_ScaleModeNearest);
    const int64_t perPass = Covered(triangles);
    int64_t pixels = 0;
    for (auto _ : state) {
        SDL_RenderGeometry(renderer, texture, triangles.sdl.data(), static_cast<int>(triangles.sdl.size()),
                           nullptr, 0);
        SDL_RenderFlush(renderer);
        benchmark::DoNotOptimize(surface->pixels);
        pixels += perPass;
    }
    state.counters["Mpixels/s"] =
        benchmark::Counter(static_cast<double>(pixels) / 1e6, benchmark::Counter::kIsRate);
    SDL_DestroyTexture(texture);
    SDL_DestroyRenderer(renderer);
    SDL_FreeSurface(surface);
}

void SdlTilesBlended(benchmark::State& state) {
    Draw(state, Tiles(), TileTexels(), 256, SDL_BLENDMODE_BLEND);
}
BENCHMARK(SdlTilesBlended);

void SdlTilesAdditive(benchmark::State& state) {
    Draw(state, Tiles(), TileTexels(), 256, SDL_BLENDMODE_ADD);
}
BENCHMARK(SdlTilesAdditive);

void SdlParticlesAdditive(benchmark::State& state) {
    Draw(state, Particles(), GlowTexels(), 32, SDL_BLENDMODE_ADD);
}
BENCHMARK(SdlParticlesAdditive);

} // namespace

BENCHMARK_MAIN();
