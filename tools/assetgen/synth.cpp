#include "synth.h"

#include <algorithm>

namespace assetgen {

void Normalize(Samples& samples, float peakDb) {
    float peak = 0;
    for (float s : samples)
        peak = std::max(peak, std::fabs(s));
    if (peak <= 0)
        return;
    float gain = std::pow(10.0f, peakDb / 20.0f) / peak;
    for (float& s : samples)
        s *= gain;
}

void FinishEffect(Samples& samples, float peakDb, float tailSeconds) {
    size_t fadeIn = std::min(samples.size(), size_t(kRate / 1000));
    for (size_t i = 0; i < fadeIn; ++i)
        samples[i] *= float(i + 1) / float(fadeIn + 1);
    size_t tail = std::min(samples.size(), size_t(tailSeconds * kRate));
    for (size_t i = 0; i < tail; ++i) {
        float t =
            float(i) / float(std::max<size_t>(tail - 1, 1)); // 0 at the start of the tail .. 1 at the end
        samples[samples.size() - tail + i] *= 0.5f + 0.5f * std::cos(t * 3.14159265f);
    }
    if (!samples.empty())
        samples.back() = 0;
    Normalize(samples, peakDb);
}

void MixWrapped(Samples& dst, const Samples& src, size_t at, float gain) {
    if (dst.empty())
        return;
    for (size_t i = 0; i < src.size(); ++i)
        dst[(at + i) % dst.size()] += src[i] * gain;
}

} // namespace assetgen
