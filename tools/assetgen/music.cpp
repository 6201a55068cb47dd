// The two music loops, sequenced from the instruments: a calm menu loop and
// a driving mission loop. Both are a whole number of bars, rendered on a
// circle (notes that ring past the end continue at the start, echoes are run
// twice round the loop), so the last sample flows into the first.

#include "instruments.h"
#include "jobs.h"

namespace assetgen {

namespace {

struct Song {
    size_t beat; // samples per beat
    int bars;
    Samples drums, music;
    size_t Length() const { return beat * 4 * size_t(bars); }
    size_t At(int bar, float beatInBar) const {
        return size_t(bar) * beat * 4 + size_t(beatInBar * float(beat) + 0.5f);
    }
    float Seconds(float beats) const { return beats * float(beat) / float(kRate); }
};

// A feedback echo of the bus on the loop: two passes, so the echoes of the
// end are already present at the start.
void EchoLoop(Samples& bus, size_t delay, float feedback, float wet) {
    Samples echo(bus.size(), 0.0f);
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < bus.size(); ++i)
            echo[i] = bus[(i + bus.size() - delay) % bus.size()] * wet +
                      echo[(i + bus.size() - delay) % bus.size()] * feedback;
    for (size_t i = 0; i < bus.size(); ++i)
        bus[i] += echo[i];
}

// The music's peak: the menu and mission loops overlap while one fades into
// the other, and effects sound over both, so each stays well below full
// scale. The bus is driven into the saturator to keep the loop dense at that
// peak (the stream plays 8-bit samples, whose hiss a quiet loop would raise).
constexpr float kMusicPeakDb = -6.5f;
constexpr float kMusicDrive = 1.5f;

Samples Mixdown(Song& song, float drumGain, float musicGain) {
    Samples out(song.Length());
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = Saturate((song.drums[i] * drumGain + song.music[i] * musicGain) * kMusicDrive);
    Normalize(out, kMusicPeakDb);
    return out;
}

// Menus: 100 beats a minute, 16 bars. A minor - F - C - G, two bars each,
// twice; soft kick and hats, a pad, and a slow arpeggio that opens up in the
// second half.
Samples MenuLoop() {
    Song song{26460, 16, {}, {}};
    song.drums.assign(song.Length(), 0.0f);
    song.music.assign(song.Length(), 0.0f);
    const float chords[4][4] = {{57, 60, 64, 69}, {53, 57, 60, 65}, {48, 55, 60, 64}, {55, 59, 62, 67}};
    Samples kick = Kick(0.15f);
    for (int bar = 0; bar < song.bars; ++bar) {
        MixWrapped(song.drums, kick, song.At(bar, 0), 0.8f);
        MixWrapped(song.drums, kick, song.At(bar, 2.5f), 0.5f);
        for (int e = 0; e < 8; ++e)
            MixWrapped(song.drums, HiHat(e == 7 && bar % 2 == 1, uint32_t(bar * 8 + e)),
                       song.At(bar, float(e) * 0.5f), e % 2 ? 0.18f : 0.1f);
        if (bar % 4 == 3)
            MixWrapped(song.drums, Snare(0.2f, uint32_t(bar)), song.At(bar, 3), 0.25f);
        const float* chord = chords[(bar / 2) % 4];
        if (bar % 2 == 0)
            for (int k = 0; k < 4; ++k)
                MixWrapped(song.music, PadNote(chord[k], song.Seconds(8)), song.At(bar, 0), 0.16f);
        int steps = bar >= 8 ? 8 : 4;
        const int order[8] = {0, 2, 1, 3, 2, 3, 1, 2};
        for (int s = 0; s < steps; ++s) {
            float note = chord[order[s]] + 12;
            MixWrapped(song.music, PluckNote(note, bar >= 8 ? 0.6f : 0.35f),
                       song.At(bar, float(s) * 4.0f / float(steps)), 0.28f);
        }
        MixWrapped(song.music, BassNote(chord[0] - 12, song.Seconds(3.5f), 0.1f), song.At(bar, 0), 0.3f);
    }
    EchoLoop(song.music, song.beat * 3 / 4, 0.35f, 0.3f);
    return Mixdown(song, 1.0f, 1.0f);
}

// Missions: about 130 beats a minute, 20 bars. E minor - C - G - D, one bar
// each; four-on-the-floor kick, snare on two and four, sixteenth hats, a
// pumping bass and a lead hook that comes and goes with the sections.
Samples MissionLoop() {
    Song song{20352, 20, {}, {}};
    song.drums.assign(song.Length(), 0.0f);
    song.music.assign(song.Length(), 0.0f);
    const float roots[4] = {40, 36, 43, 38};
    const float hook[16] = {64, 0, 67, 0, 71, 0, 69, 67, 64, 0, 62, 0, 64, 0, 0, 0};
    const float answer[16] = {72, 0, 71, 0, 67, 0, 69, 0, 71, 0, 0, 74, 71, 0, 67, 0};
    Samples kick = Kick(0.9f);
    for (int bar = 0; bar < song.bars; ++bar) {
        bool breakdown = bar >= 12 && bar < 16;
        for (int b = 0; b < 4; ++b)
            if (!breakdown || b == 0)
                MixWrapped(song.drums, kick, song.At(bar, float(b)), 0.9f);
        MixWrapped(song.drums, Snare(0.7f, uint32_t(bar * 2)), song.At(bar, 1), 0.55f);
        MixWrapped(song.drums, Snare(0.7f, uint32_t(bar * 2 + 1)), song.At(bar, 3), 0.55f);
        if (bar % 4 == 3)
            for (int f = 0; f < 3; ++f)
                MixWrapped(song.drums, Snare(0.9f, uint32_t(100 + bar * 4 + f)),
                           song.At(bar, 3.25f + 0.25f * float(f)), 0.35f);
        for (int s = 0; s < 16; ++s)
            MixWrapped(song.drums, HiHat(s % 4 == 2, uint32_t(1000 + bar * 16 + s)),
                       song.At(bar, float(s) * 0.25f), s % 2 ? 0.12f : 0.2f);
        float root = roots[bar % 4];
        for (int e = 0; e < 8; ++e) {
            float note = root + ((e % 4 == 3) ? 12.0f : 0.0f);
            MixWrapped(song.music, BassNote(note, song.Seconds(0.42f), breakdown ? 0.3f : 0.8f),
                       song.At(bar, float(e) * 0.5f), 0.42f);
        }
        if (bar >= 4 && !breakdown) {
            const float* line = (bar / 4) % 2 ? answer : hook;
            for (int s = 0; s < 16; ++s)
                if (line[s] > 0)
                    MixWrapped(song.music,
                               LeadNote(line[s] + ((bar % 4) == 1 ? -4.0f : 0.0f), song.Seconds(0.4f)),
                               song.At(bar, float(s) * 0.25f), 0.2f);
        }
        if (breakdown || bar < 4)
            for (int k = 0; k < 3; ++k)
                MixWrapped(
                    song.music,
                    PadNote(root + 24 + float(k == 1 ? 3 + (bar % 4 == 0 ? 0 : 1) : k * 7), song.Seconds(4)),
                    song.At(bar, 0), 0.12f);
    }
    EchoLoop(song.music, song.beat * 3 / 4, 0.3f, 0.22f);
    return Mixdown(song, 1.0f, 0.9f);
}

} // namespace

void AddMusicJobs(std::vector<Job>& jobs) {
    jobs.push_back([](AssetSink& s) { s.Ogg("drum2.ogg", MissionLoop(), kRate); });
    jobs.push_back([](AssetSink& s) { s.Ogg("drum1.ogg", MenuLoop(), kRate); });
}

} // namespace assetgen
