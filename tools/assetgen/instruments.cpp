#include "instruments.h"

namespace assetgen {

Samples Kick(float punch) {
    Samples out = Silence(0.45f);
    Phase osc;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float body =
            SineOf(osc.Advance(Glide(t, 110 + 90 * punch, 42, 0.12f))) * Decay(t, 0.12f + 0.08f * punch);
        float click = SineOf(osc.value * 7) * Decay(t, 0.004f) * 0.4f * punch;
        out[i] = Saturate((body + click) * (1 + punch)) * FadeOut(t, 0.35f, 0.45f) * Attack(t, 0.0015f);
    }
    return out;
}

Samples Snare(float brightness, uint32_t seed) {
    Samples out = Silence(0.3f);
    Rng rng(seed);
    Phase tone;
    Filter band;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float noise = band.Run(rng.Signed(), 1500 + 2500 * brightness, 0.3f).band * Decay(t, 0.07f) * 1.6f;
        float body = SineOf(tone.Advance(Glide(t, 240, 170, 0.05f))) * Decay(t, 0.05f) * 0.8f;
        out[i] = (noise + body) * FadeOut(t, 0.22f, 0.3f) * Attack(t, 0.001f);
    }
    return out;
}

Samples HiHat(bool open, uint32_t seed) {
    float length = open ? 0.3f : 0.08f;
    Samples out = Silence(length);
    Rng rng(seed);
    Filter high;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        out[i] = high.Run(rng.Signed(), 7500, 0.3f).high * Decay(t, open ? 0.09f : 0.018f) *
                 FadeOut(t, length * 0.7f, length) * Attack(t, 0.0008f);
    }
    return out;
}

// Three detuned saws, slow attack, warm low-pass with a gentle swell.
Samples PadNote(float note, float seconds) {
    float release = 1.2f;
    Samples out = Silence(seconds + release);
    Phase osc[3];
    Filter lp;
    const float detune[3] = {0.996f, 1.0f, 1.005f};
    float f = NoteFrequency(note);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float v = 0;
        for (int k = 0; k < 3; ++k)
            v += SawOf(osc[k].Advance(f * detune[k]));
        float env = Attack(t, 0.6f) * (t > seconds ? Decay(t - seconds, 0.35f) : 1.0f) *
                    FadeOut(t, seconds + release * 0.8f, seconds + release);
        out[i] =
            lp.Run(v * 0.33f, 700 + 500 * std::sin(std::min(t / seconds, 1.0f) * 3.14159f), 0.15f).low * env;
    }
    return out;
}

Samples PluckNote(float note, float brightness) {
    Samples out = Silence(0.9f);
    Phase a, b;
    Filter lp;
    float f = NoteFrequency(note);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float v = TriangleOf(a.Advance(f)) * 0.6f + SawOf(b.Advance(f * 2.001f)) * 0.25f;
        float env = Attack(t, 0.002f) * Decay(t, 0.25f) * FadeOut(t, 0.7f, 0.9f);
        out[i] = lp.Run(v, 400 + 4000 * brightness * Decay(t, 0.12f), 0.3f).low * env;
    }
    return out;
}

// A saw bass with a resonant filter snap and a sine sub an octave below.
Samples BassNote(float note, float seconds, float drive) {
    Samples out = Silence(seconds + 0.06f);
    Phase saw, sub;
    Filter lp;
    float f = NoteFrequency(note);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float cutoff = 180 + 1800 * drive * Decay(t, 0.08f);
        float v = lp.Run(SawOf(saw.Advance(f)), cutoff, 0.55f).low + SineOf(sub.Advance(f * 0.5f)) * 0.5f;
        float env = Attack(t, 0.003f) * FadeOut(t, seconds - 0.01f, seconds + 0.06f);
        out[i] = Saturate(v * (1.2f + drive)) * env;
    }
    return out;
}

// A pulse lead with delayed vibrato.
Samples LeadNote(float note, float seconds) {
    Samples out = Silence(seconds + 0.15f);
    Phase osc, vib;
    Filter lp;
    float f = NoteFrequency(note);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float wobble = 1 + 0.006f * SineOf(vib.Advance(6)) * Attack(std::max(0.0f, t - 0.12f), 0.15f);
        float v = SquareOf(osc.Advance(f * wobble), 0.3f);
        float env =
            Attack(t, 0.006f) * (0.7f + 0.3f * Decay(t, 0.15f)) * FadeOut(t, seconds, seconds + 0.15f);
        out[i] = lp.Run(v, 2600 + 1500 * Decay(t, 0.1f), 0.25f).low * env;
    }
    return out;
}

} // namespace assetgen
