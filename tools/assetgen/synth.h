// Sound synthesis building blocks: oscillators, noise, filters, envelopes
// and the finishing steps every effect goes through. Samples are floats in
// -1..1 at kRate.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "rng.h"

namespace assetgen {

constexpr int kRate = 44100;
constexpr float kTwoPi = 6.2831853f;

using Samples = std::vector<float>;

inline Samples Silence(float seconds) {
    return Samples(size_t(seconds * kRate + 0.5f), 0.0f);
}
inline float TimeOf(size_t i) {
    return float(i) / float(kRate);
}

// A phase accumulator; frequency may change every sample.
class Phase {
  public:
    float Advance(float frequency) {
        phase += frequency / float(kRate);
        phase -= std::floor(phase);
        return phase;
    }
    float value = 0;

  private:
    float phase = 0;
};

inline float SineOf(float phase) {
    return std::sin(phase * kTwoPi);
}
inline float SawOf(float phase) {
    return phase * 2 - 1;
}
inline float SquareOf(float phase, float width = 0.5f) {
    return phase < width ? 1.0f : -1.0f;
}
inline float TriangleOf(float phase) {
    return 1 - 4 * std::fabs(phase - 0.5f);
}

// State-variable filter (trapezoidal form), stable for any cutoff below
// half the sample rate.
class Filter {
  public:
    struct Out {
        float low, band, high;
    };
    Out Run(float input, float cutoff, float resonance) {
        float g = std::tan(3.14159265f * std::min(cutoff, 0.45f * kRate) / float(kRate));
        float k = 2 - 2 * std::min(resonance, 0.98f);
        float a1 = 1 / (1 + g * (g + k)), a2 = g * a1, a3 = g * a2;
        float v3 = input - ic2, v1 = a1 * ic1 + a2 * v3, v2 = ic2 + a2 * ic1 + a3 * v3;
        ic1 = 2 * v1 - ic1;
        ic2 = 2 * v2 - ic2;
        return {v2, v1, input - k * v1 - v2};
    }

  private:
    float ic1 = 0, ic2 = 0;
};

class OnePole {
  public:
    float Low(float input, float cutoff) {
        float a = 1 - std::exp(-kTwoPi * cutoff / float(kRate));
        state += a * (input - state);
        return state;
    }

  private:
    float state = 0;
};

// Envelopes over time t in seconds.
inline float Decay(float t, float seconds) {
    return std::exp(-t / seconds);
}
inline float Attack(float t, float seconds) {
    return t >= seconds ? 1.0f : t / seconds;
}
inline float Ramp(float t, float from, float to, float seconds) {
    return from + (to - from) * std::min(t / seconds, 1.0f);
}
// 1 until `start`, falling smoothly to 0 at `end`.
inline float FadeOut(float t, float start, float end) {
    float x = std::clamp((t - start) / (end - start), 0.0f, 1.0f);
    return 1 - x * x * (3 - 2 * x);
}
// Exponential glide from one frequency to another.
inline float Glide(float t, float from, float to, float seconds) {
    return from * std::pow(to / from, std::min(t / seconds, 1.0f));
}
inline float NoteFrequency(float midiNote) {
    return 440.0f * std::pow(2.0f, (midiNote - 69) / 12.0f);
}

// Soft saturation for grit without hard clipping.
inline float Saturate(float x) {
    return std::tanh(x);
}

// The finishing steps of a one-shot effect: a 1 ms fade-in (no click, no
// leading silence), a fade to exact zero over the last `tailSeconds`, then
// scaled so the peak sits at `peakDb` (negative: below full scale).
void FinishEffect(Samples& samples, float peakDb, float tailSeconds = 0.02f);

// Scale so the peak is `peakDb` below full scale.
void Normalize(Samples& samples, float peakDb);

// Adds src into dst starting at sample `at`, wrapping past the end (for loops).
void MixWrapped(Samples& dst, const Samples& src, size_t at, float gain);

} // namespace assetgen
