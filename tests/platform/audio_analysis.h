// Measurements on mixed 16-bit stereo output, shared by the sound tests.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace audio_analysis {

// One channel (0 left, 1 right) of interleaved stereo as floats in -1..1.
inline std::vector<float> Channel(const std::vector<int16_t>& stereo, int channel) {
    std::vector<float> out;
    out.reserve(stereo.size() / 2);
    for (size_t i = static_cast<size_t>(channel); i < stereo.size(); i += 2)
        out.push_back(static_cast<float>(stereo[i]) / 32768.0f);
    return out;
}

// Goertzel: the signal's power at one frequency.
inline double Power(const std::vector<float>& x, double frequency, double rate) {
    double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * frequency / rate);
    double s1 = 0.0, s2 = 0.0;
    for (float sample : x) {
        double s0 = sample + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coefficient * s1 * s2;
}

// The strongest frequency between `low` and `high` Hz: a 4 Hz scan refined to 0.1 Hz.
inline double DominantFrequency(const std::vector<float>& x, double rate, double low = 50.0,
                                double high = 2000.0) {
    auto best = [&](double from, double to, double step) {
        double bestFrequency = from, bestPower = -1.0;
        for (double f = from; f <= to; f += step) {
            double p = Power(x, f, rate);
            if (p > bestPower) {
                bestPower = p;
                bestFrequency = f;
            }
        }
        return bestFrequency;
    };
    double coarse = best(low, high, 4.0);
    return best(coarse - 4.0, coarse + 4.0, 0.1);
}

inline double Rms(const std::vector<float>& x, size_t from = 0, size_t count = SIZE_MAX) {
    double sum = 0.0;
    size_t end = count == SIZE_MAX ? x.size() : std::min(x.size(), from + count);
    for (size_t i = from; i < end; ++i)
        sum += static_cast<double>(x[i]) * x[i];
    return end > from ? std::sqrt(sum / static_cast<double>(end - from)) : 0.0;
}

// The largest change between neighbouring samples: a click or a cut shows as a jump.
inline float LargestStep(const std::vector<float>& x, size_t from = 1) {
    float largest = 0.0f;
    for (size_t i = std::max<size_t>(from, 1); i < x.size(); ++i)
        largest = std::max(largest, std::fabs(x[i] - x[i - 1]));
    return largest;
}

// 16-bit mono samples of a sine tone.
inline std::vector<int16_t> Tone(double frequency, double rate, size_t frames, double amplitude) {
    std::vector<int16_t> out(frames);
    for (size_t i = 0; i < frames; ++i)
        out[i] = static_cast<int16_t>(
            std::lrint(amplitude * 32767.0 *
                       std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate)));
    return out;
}

} // namespace audio_analysis
