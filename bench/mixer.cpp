// The software mixer at 44.1 kHz with 32 and 64 voices, each at its own pitch
// and volume. "core%" is the share of one core that mixing in real time takes.
#include "platform/dsound/mixer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

void MixVoices(benchmark::State& state) {
    const int voiceCount = static_cast<int>(state.range(0));
    const uint32_t rate = 44100;
    const uint32_t frames = 1024;
    platform::Mixer mixer(rate);
    std::vector<std::unique_ptr<platform::MixerVoice>> voices;
    for (int v = 0; v < voiceCount; ++v) {
        auto voice = std::make_unique<platform::MixerVoice>();
        const uint32_t length = 22050;
        voice->bits = v % 4 == 0 ? 8 : 16;
        voice->data.resize(length * voice->bits / 8);
        for (uint32_t i = 0; i < length; ++i) {
            double value = 0.2 * std::sin(0.05 * (v + 1) * i);
            if (voice->bits == 8) {
                voice->data[i] = static_cast<uint8_t>(128 + std::lrint(value * 127));
            } else {
                auto sample = static_cast<int16_t>(std::lrint(value * 32767));
                voice->data[2 * i] = static_cast<uint8_t>(sample & 0xFF);
                voice->data[2 * i + 1] = static_cast<uint8_t>((sample >> 8) & 0xFF);
            }
        }
        voice->frequency = 11025 + 700u * static_cast<uint32_t>(v % 32); // pitches 0.5 .. 1.5
        voice->gain = platform::VolumeToGain(-50 * (v % 20));
        voice->looping = true;
        std::lock_guard<std::mutex> lock(mixer.Mutex());
        mixer.Start(voice.get());
        voices.push_back(std::move(voice));
    }
    std::vector<int16_t> out(frames * 2);
    for (auto _ : state) {
        mixer.Mix(out.data(), frames);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * frames);
    // CPU seconds per hundredth of a second of audio: per cent of a core
    state.counters["core%"] =
        benchmark::Counter(static_cast<double>(frames) / rate * state.iterations() / 100.0,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(MixVoices)->Arg(32)->Arg(64);

BENCHMARK_MAIN();
