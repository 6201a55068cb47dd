#include "platform/dsound/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

constexpr uint32_t kBlockFrames = 256;

float Sample(const MixerVoice& voice, uint32_t frame, uint32_t channel) {
    const uint8_t* p = voice.data.data() + static_cast<size_t>(frame) * voice.FrameBytes();
    if (voice.bits == 8)
        return (static_cast<float>(p[channel]) - 128.0f) * (1.0f / 128.0f);
    int16_t value = static_cast<int16_t>(p[2 * channel] | (p[2 * channel + 1] << 8));
    return static_cast<float>(value) * (1.0f / 32768.0f);
}

// Adds up to `frames` output frames of one voice; returns false when the voice
// reached its end without looping.
template <uint32_t Channels>
bool MixVoice(MixerVoice& voice, float* accumulator, uint32_t frames, uint64_t step) {
    const uint32_t count = voice.Frames();
    const uint64_t end = static_cast<uint64_t>(count) << 32;
    const float gain = voice.gain;
    for (uint32_t i = 0; i < frames; ++i) {
        uint32_t frame = voice.Frame();
        // the frame after the last is the first again when looping, else the last one held
        uint32_t after = frame + 1 < count ? frame + 1 : (voice.looping ? 0 : frame);
        float fraction = static_cast<float>(static_cast<uint32_t>(voice.position)) * (1.0f / 4294967296.0f);
        for (uint32_t c = 0; c < Channels; ++c) {
            float a = Sample(voice, frame, c);
            float b = Sample(voice, after, c);
            float value = (a + (b - a) * fraction) * gain;
            if constexpr (Channels == 1) {
                accumulator[2 * i] += value;
                accumulator[2 * i + 1] += value;
            } else {
                accumulator[2 * i + c] += value;
            }
        }
        voice.position += step;
        if (voice.position >= end) {
            if (!voice.looping) {
                voice.position = 0;
                return false;
            }
            voice.position %= end;
        }
    }
    return true;
}

} // namespace

float VolumeToGain(int32_t volume) {
    if (volume <= -10000)
        return 0.0f;
    return std::pow(10.0f, static_cast<float>(volume) / 2000.0f);
}

Mixer::Mixer(uint32_t outputRate) : outputRate(outputRate) {}

void Mixer::Start(MixerVoice* voice) {
    voice->playing = true;
    if (std::find(voices.begin(), voices.end(), voice) == voices.end())
        voices.push_back(voice);
}

void Mixer::Stop(MixerVoice* voice) {
    voice->playing = false;
    voices.erase(std::remove(voices.begin(), voices.end(), voice), voices.end());
}

void Mixer::MixBlock(float* accumulator, uint32_t frames) {
    for (size_t v = 0; v < voices.size();) {
        MixerVoice& voice = *voices[v];
        uint64_t step = (static_cast<uint64_t>(voice.frequency) << 32) / outputRate;
        bool going = voice.Frames() == 0   ? false
                     : voice.channels == 1 ? MixVoice<1>(voice, accumulator, frames, step)
                                           : MixVoice<2>(voice, accumulator, frames, step);
        if (going) {
            ++v;
        } else {
            voice.playing = false;
            voices.erase(voices.begin() + static_cast<std::ptrdiff_t>(v));
        }
    }
}

void Mixer::Mix(int16_t* out, uint32_t frames) {
    std::lock_guard<std::mutex> lock(mutex);
    float accumulator[2 * kBlockFrames];
    while (frames > 0) {
        uint32_t n = std::min(frames, kBlockFrames);
        std::memset(accumulator, 0, sizeof(float) * 2 * n);
        MixBlock(accumulator, n);
        for (uint32_t i = 0; i < 2 * n; ++i) {
            float value = std::clamp(accumulator[i] * 32768.0f, -32768.0f, 32767.0f);
            out[i] = static_cast<int16_t>(std::lrint(value));
        }
        out += 2 * n;
        frames -= n;
    }
}

} // namespace platform
