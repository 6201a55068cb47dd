// The software presenter's enlargement of the 800 x 600 frame, per frame, to
// where it is shown: the 1x window, and full screen on 1920 x 1080 and
// 3840 x 2160 desktops, written into rows as wide as the screen's.
#include "platform/d3d8/frame_scaler.h"
#include "platform/raster/raster_fast.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

using platform::FrameScaling;

constexpr int kWidth = 800, kHeight = 600;

void Scale(benchmark::State& state, int screenWidth, int toWidth, int toHeight, FrameScaling scaling,
           bool wide) {
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight);
    std::mt19937 random(7);
    for (uint32_t& pixel : frame)
        pixel = random();
    std::vector<uint32_t> screen(static_cast<size_t>(screenWidth) * toHeight);
    const bool hadWide = platform::WideVectorsInUse();
    platform::UseWideVectors(wide);
    platform::FrameScaler scaler;
    for (auto _ : state) {
        scaler.Scale(frame.data(), kWidth, kHeight, screen.data(), toWidth, toHeight, screenWidth * 4,
                     scaling);
        benchmark::ClobberMemory();
    }
    platform::UseWideVectors(hadWide);
}

} // namespace

// The window's client area is one menu-bar height taller than the frame.
BENCHMARK_CAPTURE(Scale, Window1x, 800, 800, 620, FrameScaling::Sharp, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scale, Sharp1920x1080, 1920, 1440, 1080, FrameScaling::Sharp, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scale, Sharp3840x2160, 3840, 2880, 2160, FrameScaling::Sharp, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scale, Sharp3840x2160Sse2, 3840, 2880, 2160, FrameScaling::Sharp, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scale, Whole3840x2160, 3840, 2400, 1800, FrameScaling::Whole, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Scale, Smooth3840x2160, 3840, 2880, 2160, FrameScaling::Smooth, true)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
