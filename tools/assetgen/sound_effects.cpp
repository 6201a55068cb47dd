// The game's sound effects, each a short synthesised mono sound: noise
// bursts with thumps for explosions, pitched chirps for shots, sweeps for
// beams and phasers, arpeggios for fanfares, and a seamless engine loop.

#include "jobs.h"
#include "synth.h"

namespace assetgen {

namespace {

// Peak levels, set for the mix rather than for each sound alone: an enemy's
// death sounds its hit, an explosion and a flourish at once, over music that
// peaks a few dB below full scale, and the mixer saturates. The loudest
// one-shots stay well below full scale and the frequent ones lower still.
constexpr float kExplosionDb = -10.0f; // explosions, the loudest in a mission
constexpr float kShipHitDb = -9.0f;    // the player's ship hit: rare, must cut through
constexpr float kWeaponDb = -12.0f;    // launches, beams, phasers, the refused boost
constexpr float kFrequentDb = -14.0f;  // shots, the flourishes of each kill, the engine loop
constexpr float kHitDb = -16.0f;       // an enemy hit, with nearly every shot
constexpr float kClickDb = -10.0f;     // the menu click, over the menu music only
constexpr float kFanfareDb = -6.0f;    // fanfares, alone over the menu music

// An explosion: noise through a low-pass that falls from `bright` to
// `dark` Hz, a sub thump, and optional crackle.
Samples Explosion(float seconds, float bright, float dark, float thump, float crackle, uint32_t seed) {
    Samples out = Silence(seconds);
    Rng rng(seed);
    Filter body, rumble;
    Phase sub;
    float crack = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i), n = rng.Signed();
        float cutoff = Glide(t, bright, dark, seconds * 0.6f);
        float env = Attack(t, 0.004f) * Decay(t, seconds * 0.28f);
        float noise = body.Run(n, cutoff, 0.2f).low * env;
        float low = rumble.Run(n, 120, 0.3f).low * Decay(t, seconds * 0.45f) * 1.5f;
        float boom = SineOf(sub.Advance(Glide(t, 90, 32, 0.35f))) * Decay(t, 0.22f) * thump;
        if (rng.Unit() < 0.0015f * crackle * Decay(t, seconds * 0.4f))
            crack = rng.Signed();
        crack *= 0.93f;
        out[i] = Saturate((noise * 1.6f + low + boom + crack * crackle * 0.5f) * 1.2f);
    }
    FinishEffect(out, kExplosionDb, seconds * 0.15f);
    return out;
}

// A pitched chirp: an oscillator gliding between two pitches, filtered.
Samples Chirp(float seconds, float from, float to, int shape, float cutoff, float decay) {
    Samples out = Silence(seconds);
    Phase osc;
    Filter filter;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float p = osc.Advance(Glide(t, from, to, seconds));
        float v = shape == 0 ? SquareOf(p) : shape == 1 ? SawOf(p) : TriangleOf(p);
        out[i] = filter.Run(v, cutoff, 0.3f).low * Decay(t, decay);
    }
    FinishEffect(out, kFrequentDb, seconds * 0.2f);
    return out;
}

Samples Button() {
    Samples out = Silence(0.07f);
    Phase osc;
    Rng rng(3);
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        out[i] = SineOf(osc.Advance(Glide(t, 2200, 1400, 0.02f))) * Decay(t, 0.012f) +
                 rng.Signed() * Decay(t, 0.002f) * 0.4f;
    }
    FinishEffect(out, kClickDb, 0.02f);
    return out;
}

Samples Magic() {
    Samples out = Silence(0.7f);
    const float notes[5] = {72, 76, 79, 84, 88};
    for (int k = 0; k < 5; ++k) {
        Phase osc, vib;
        size_t start = size_t(float(k) * 0.07f * kRate);
        for (size_t i = start; i < out.size(); ++i) {
            float t = TimeOf(i - start);
            float f = NoteFrequency(notes[k]) * (1 + 0.01f * SineOf(vib.Advance(7)));
            out[i] += (SineOf(osc.Advance(f)) + 0.3f * SineOf(osc.value)) * Attack(t, 0.005f) *
                      Decay(t, 0.15f) * 0.4f;
        }
    }
    FinishEffect(out, kFrequentDb, 0.1f);
    return out;
}

// Inharmonic partials ringing with a tremolo: a metallic ring.
Samples MultiRing() {
    Samples out = Silence(0.9f);
    const float partials[4] = {523, 1247, 1873, 2713};
    Phase osc[4], trem;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i), sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += SineOf(osc[k].Advance(partials[k] * Glide(t, 1.0f, 1.5f, 0.9f))) *
                   Decay(t, 0.3f / float(k + 1));
        out[i] = sum * (0.7f + 0.3f * SineOf(trem.Advance(14))) * Attack(t, 0.003f);
    }
    FinishEffect(out, kFrequentDb, 0.15f);
    return out;
}

Samples Sparkles(float seconds, uint32_t seed) {
    Samples out = Silence(seconds);
    Rng rng(seed);
    for (int k = 0; k < 26; ++k) {
        float start = seconds * 0.8f * rng.Unit() * rng.Unit();
        float f = rng.Range(1500, 5000);
        Phase osc;
        for (size_t i = size_t(start * kRate); i < out.size(); ++i) {
            float t = TimeOf(i) - start;
            if (t > 0.08f)
                break;
            out[i] += SineOf(osc.Advance(f)) * Decay(t, 0.02f) * 0.3f;
        }
    }
    FinishEffect(out, kFrequentDb, 0.05f);
    return out;
}

Samples Break() {
    Samples out = Silence(0.55f);
    Rng rng(21);
    Filter hp;
    const float partials[3] = {2350, 3710, 5230};
    Phase osc[3];
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float shard = hp.Run(rng.Signed(), 3000, 0.2f).high * Decay(t, 0.06f);
        float ring = 0;
        for (int k = 0; k < 3; ++k)
            ring += SineOf(osc[k].Advance(partials[k])) * Decay(t, 0.12f / float(k + 1)) * 0.3f;
        float tick = (i % 2400 < 200 && t < 0.25f) ? rng.Signed() * 0.5f * Decay(t, 0.1f) : 0;
        out[i] = shard + ring + tick;
    }
    FinishEffect(out, kFrequentDb, 0.08f);
    return out;
}

Samples EnemyDamaged() {
    Samples out = Silence(0.12f);
    Rng rng(31);
    Filter band;
    Phase osc;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        out[i] = band.Run(rng.Signed(), 900, 0.6f).band * Decay(t, 0.02f) * 2 +
                 SineOf(osc.Advance(Glide(t, 260, 120, 0.08f))) * Decay(t, 0.03f);
    }
    FinishEffect(out, kHitDb, 0.03f);
    return out;
}

// A rising whoosh: noise through a band-pass sweeping up.
Samples Whoosh(float seconds, float from, float to, uint32_t seed) {
    Samples out = Silence(seconds);
    Rng rng(seed);
    Filter band;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float env = (0.4f + 0.6f * Attack(t, seconds * 0.3f)) * FadeOut(t, seconds * 0.6f, seconds);
        out[i] = band.Run(rng.Signed(), Glide(t, from, to, seconds), 0.75f).band * env;
    }
    FinishEffect(out, kWeaponDb, seconds * 0.1f);
    return out;
}

Samples Plasma() {
    Samples out = Silence(0.35f);
    Phase carrier, mod;
    Filter lp;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float f = Glide(t, 900, 220, 0.3f);
        float m = SineOf(mod.Advance(f * 1.5f)) * 0.6f;
        out[i] = lp.Run(SawOf(carrier.Advance(f * (1 + m))), 3500, 0.4f).low * Decay(t, 0.12f);
    }
    FinishEffect(out, kWeaponDb, 0.05f);
    return out;
}

Samples ConeShot() {
    Samples out = Silence(0.55f);
    Rng rng(41);
    Phase osc;
    Filter lp;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float whomp = SineOf(osc.Advance(Glide(t, 240, 55, 0.4f))) * Decay(t, 0.18f);
        float air =
            lp.Run(rng.Signed(), Glide(t, 2500, 300, 0.5f), 0.3f).low * Attack(t, 0.05f) * Decay(t, 0.15f);
        out[i] = Saturate(whomp * 1.4f + air * 1.2f);
    }
    FinishEffect(out, kWeaponDb, 0.08f);
    return out;
}

// The laser: a buzzing saw with a fast square modulation sweeping down.
Samples Laser() {
    Samples out = Silence(0.75f);
    Phase osc, buzz;
    Filter lp;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float f = Glide(t, 1400, 260, 0.7f);
        float v = SawOf(osc.Advance(f)) * (0.6f + 0.4f * SquareOf(buzz.Advance(f * 0.25f)));
        out[i] = lp.Run(v, Glide(t, 6000, 1200, 0.7f), 0.5f).low * Attack(t, 0.004f) * Decay(t, 0.35f);
    }
    FinishEffect(out, kWeaponDb, 0.1f);
    return out;
}

Samples Damage() {
    Samples out = Silence(0.38f);
    Rng rng(51);
    Phase osc;
    Filter band;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float crunch = band.Run(rng.Signed(), Glide(t, 2500, 400, 0.3f), 0.4f).band * 3;
        float hull = SquareOf(osc.Advance(Glide(t, 110, 55, 0.3f))) * 0.5f;
        out[i] = Saturate((crunch + hull) * 2.5f) * Decay(t, 0.1f);
    }
    FinishEffect(out, kShipHitDb, 0.06f);
    return out;
}

// Phaser sweep: a saw drone through two moving notches.
Samples Phaser(bool up) {
    Samples out = Silence(0.65f);
    Phase osc;
    Filter a, b;
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float sweep = up ? Glide(t, 200, 4000, 0.6f) : Glide(t, 4000, 200, 0.6f);
        float saw = SawOf(osc.Advance(up ? Glide(t, 110, 220, 0.6f) : Glide(t, 220, 110, 0.6f)));
        Filter::Out f1 = a.Run(saw, sweep, 0.7f);
        Filter::Out f2 = b.Run(f1.low + f1.high, sweep * 1.6f, 0.7f);
        float env = up ? (0.35f + 0.65f * Attack(t, 0.3f)) * Decay(std::max(0.0f, t - 0.45f), 0.05f)
                       : Attack(t, 0.01f) * Decay(t, 0.25f);
        out[i] = (f2.low + f2.high + saw * 0.3f) * env;
    }
    FinishEffect(out, kWeaponDb, 0.05f);
    return out;
}

// The engine roar, one second long: every part repeats exactly over the
// loop (whole cycles of the hum, and noise filtered twice around the loop so
// the filters' state at the end equals their state at the start).
Samples Thrust() {
    Samples out = Silence(1.0f);
    Rng rng(61);
    Samples noise(out.size());
    for (float& n : noise)
        n = rng.Signed();
    Filter roar, hiss;
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < out.size(); ++i) {
            float low = roar.Run(noise[i], 500, 0.35f).low;
            float high = hiss.Run(noise[i], 2500, 0.2f).band;
            out[i] = low * 1.2f + high * 0.25f;
        }
    for (size_t i = 0; i < out.size(); ++i) {
        float t = TimeOf(i);
        float hum = 0.35f * std::sin(kTwoPi * 55 * t) + 0.2f * std::sin(kTwoPi * 110 * t + 1.0f);
        float pulse = 0.85f + 0.15f * std::sin(kTwoPi * 12 * t);
        out[i] = Saturate((out[i] + hum) * pulse * 1.5f);
    }
    Normalize(out, kFrequentDb);
    return out;
}

// A dry sputter: a few irregular pops that die away.
Samples NoBoost() {
    Samples out = Silence(0.45f);
    Rng rng(71);
    Filter lp;
    const float pops[5] = {0.0f, 0.07f, 0.16f, 0.22f, 0.33f};
    for (int k = 0; k < 5; ++k) {
        float level = 1 - 0.17f * float(k);
        for (size_t i = size_t(pops[k] * kRate); i < out.size(); ++i) {
            float t = TimeOf(i) - pops[k];
            if (t > 0.05f)
                break;
            out[i] += lp.Run(rng.Signed(), 1800, 0.3f).low * Decay(t, 0.012f) * level * 2;
        }
    }
    FinishEffect(out, kWeaponDb, 0.05f);
    return out;
}

// A note of a soft brass-like voice for the fanfares.
void FanfareNote(Samples& out, float start, float length, float note, float gain) {
    Phase a, b, vib;
    Filter lp;
    for (size_t i = size_t(start * kRate); i < out.size(); ++i) {
        float t = TimeOf(i) - start;
        float release = t > length ? Decay(t - length, 0.08f) : 1.0f;
        if (release < 0.001f)
            break;
        float f = NoteFrequency(note) * (1 + 0.004f * SineOf(vib.Advance(5.5f)) * Attack(t, 0.2f));
        float v = SawOf(a.Advance(f)) * 0.6f + SquareOf(b.Advance(f * 1.003f)) * 0.3f;
        float env = Attack(t, 0.015f) * (0.75f + 0.25f * Decay(t, 0.1f)) * release;
        out[i] += lp.Run(v, 900 + 2800 * Decay(t, 0.25f) * env, 0.2f).low * env * gain;
    }
}

struct Note {
    float start, length, pitch;
};

Samples Fanfare(std::initializer_list<Note> notes, float seconds) {
    Samples out = Silence(seconds);
    for (const Note& n : notes)
        FanfareNote(out, n.start, n.length, n.pitch, 0.4f);
    FinishEffect(out, kFanfareDb, 0.15f);
    return out;
}

} // namespace

void AddSoundJobs(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& s) {
        s.Wav("button.wav", Button(), kRate);
        s.Wav("explo1.wav", Explosion(1.2f, 5000, 200, 1.0f, 1.0f, 101), kRate);
        s.Wav("explo2.wav", Explosion(0.8f, 8000, 400, 0.6f, 1.5f, 102), kRate);
        s.Wav("explo3.wav", Explosion(1.0f, 3500, 150, 1.2f, 3.0f, 103), kRate);
        s.Wav("explo4.wav", Explosion(2.0f, 4000, 90, 1.4f, 0.6f, 104), kRate);
        s.Wav("missExp2.wav", Explosion(1.5f, 6000, 120, 1.3f, 2.0f, 105), kRate);
        s.Wav("shot2.wav", Chirp(0.14f, 900, 420, 0, 4000, 0.06f), kRate);
        s.Wav("shot3.wav", Chirp(0.16f, 1600, 500, 1, 5000, 0.07f), kRate);
        s.Wav("magic2.wav", Magic(), kRate);
        s.Wav("multiring.wav", MultiRing(), kRate);
        s.Wav("particleDeath.wav", Sparkles(0.7f, 81), kRate);
        s.Wav("break.wav", Break(), kRate);
    });
    jobs.push_back([](AssetSink& s) {
        s.Wav("enemyDamaged.wav", EnemyDamaged(), kRate);
        s.Wav("missile2.wav", Whoosh(0.75f, 300, 3500, 91), kRate);
        s.Wav("plasmaShot.wav", Plasma(), kRate);
        s.Wav("coneShot.wav", ConeShot(), kRate);
        s.Wav("lasrbeam3.wav", Laser(), kRate);
        s.Wav("damage.wav", Damage(), kRate);
        s.Wav("phs-out.wav", Phaser(false), kRate);
        s.Wav("phs-in.wav", Phaser(true), kRate);
        s.Wav("thrust.wav", Thrust(), kRate);
        s.Wav("noBoost.wav", NoBoost(), kRate);
        // Major arpeggio up to a held chord.
        s.Wav("fanfareWin.wav",
              Fanfare({{0, 0.12f, 60},
                       {0.12f, 0.12f, 64},
                       {0.24f, 0.12f, 67},
                       {0.36f, 0.9f, 72},
                       {0.36f, 0.9f, 67},
                       {0.36f, 0.9f, 64}},
                      1.6f),
              kRate);
        // A falling minor phrase.
        s.Wav("fanfareLost.wav",
              Fanfare(
                  {{0, 0.3f, 67}, {0.32f, 0.3f, 63}, {0.64f, 0.3f, 62}, {0.96f, 0.9f, 55}, {0.96f, 0.9f, 60}},
                  2.2f),
              kRate);
        // Rising major run with a bright top.
        s.Wav("fanfareUnlock.wav",
              Fanfare({{0, 0.1f, 67},
                       {0.1f, 0.1f, 71},
                       {0.2f, 0.1f, 74},
                       {0.3f, 0.1f, 79},
                       {0.45f, 0.1f, 76},
                       {0.55f, 1.0f, 83},
                       {0.55f, 1.0f, 79},
                       {0.55f, 1.0f, 74}},
                      2.0f),
              kRate);
        // A plain IV - V - I cadence.
        s.Wav("fanfareNormal.wav",
              Fanfare({{0, 0.35f, 65},
                       {0, 0.35f, 60},
                       {0.4f, 0.35f, 67},
                       {0.4f, 0.35f, 62},
                       {0.8f, 0.7f, 64},
                       {0.8f, 0.7f, 60},
                       {0.8f, 0.7f, 55}},
                      1.8f),
              kRate);
        std::vector<float> blank(kRate, 0.0f);
        s.Wav("blank.wav", blank, kRate, 8);
    });
}

} // namespace assetgen
