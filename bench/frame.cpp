// The busiest captured game frames redrawn straight into the rasterizer, in
// milliseconds per frame: the fast path at both screen sizes and the
// reference path at 800 x 600, in CPU time (the machine may be shared). The
// captures live in bench/frames.
#include "platform/capture/d3d8_capture.h"
#include "platform/os/program_entry.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const platform::FrameCapture& Load(const char* name) {
    static std::vector<std::pair<std::string, platform::FrameCapture>> loaded;
    for (const auto& [file, capture] : loaded) {
        if (file == name) {
            return capture;
        }
    }
    platform::FrameCapture capture;
    std::string error;
    const std::string path = std::string(BACKFIRE_BENCH_FRAMES) + "/" + name;
    if (!platform::ReadFrameCapture(path, &capture, &error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
    loaded.emplace_back(name, std::move(capture));
    return loaded.back().second;
}

void ReplayFrame(benchmark::State& state, const char* name, platform::ReplayPath path) {
    const platform::FrameCapture& capture = Load(name);
    std::vector<uint32_t> pixels(static_cast<size_t>(capture.width) * capture.height, 0xFF000000u);
    const platform::RasterTarget target{pixels.data(), capture.width, capture.height, capture.width};
    int64_t covered = 0;
    for (auto _ : state) {
        covered = platform::ReplayIntoRaster(capture, path, target);
        benchmark::DoNotOptimize(pixels.data());
    }
    state.counters["triangles"] = static_cast<double>(capture.TriangleCount());
    state.counters["Mpixels"] = static_cast<double>(covered) / 1e6;
}

void Register(const char* label, const char* file, platform::ReplayPath path) {
    benchmark::RegisterBenchmark(label, [=](benchmark::State& state) { ReplayFrame(state, file, path); })
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(9)
        ->ReportAggregatesOnly(true);
}

} // namespace

int main(int argc, char** argv) {
    Register("Frame/800x600", "busiest_800x600.bfcf", platform::ReplayPath::Fast);
    Register("Frame/1024x768", "busiest_1024x768.bfcf", platform::ReplayPath::Fast);
    Register("FrameReference/800x600", "busiest_800x600.bfcf", platform::ReplayPath::Reference);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
