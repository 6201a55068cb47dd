// The sound files: mono PCM that a 3D-capable buffer accepts, loud enough to
// hear, well below full scale, starting at once and ending in silence; the
// music buffer's blank.wav; and the engine loop joining up with itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "asset_test_files.h"
#include "engine/wave_file.h"

using namespace asset_test;

namespace {

class AssetSounds : public InBuildDir {
  protected:
    static Wav Load(const std::string& name) {
        Wav wav = ParseWav(ReadBytes(name));
        EXPECT_TRUE(wav.valid) << name;
        return wav;
    }
    static int32_t PeakOf(const std::string& name);
};

double Rms(const std::vector<int32_t>& s, size_t from, size_t count) {
    double sum = 0;
    count = std::min(count, s.size() - std::min(from, s.size()));
    for (size_t i = from; i < from + count; ++i)
        sum += double(s[i]) * double(s[i]);
    return count ? std::sqrt(sum / double(count)) : 0;
}

int32_t Peak(const std::vector<int32_t>& s, size_t from, size_t count) {
    int32_t peak = 0;
    for (size_t i = from; i < std::min(s.size(), from + count); ++i)
        peak = std::max(peak, std::abs(s[i]));
    return peak;
}

int32_t AssetSounds::PeakOf(const std::string& name) {
    Wav wav = Load(name);
    return Peak(wav.samples, 0, wav.samples.size());
}

} // namespace

TEST_F(AssetSounds, EffectsAreMono16BitPcmAtAGameRate) {
    std::vector<std::string> names = EffectSoundNames();
    names.push_back("dat\\thrust.wav");
    for (const std::string& name : names) {
        Wav wav = Load(name);
        EXPECT_EQ(wav.formatTag, 1u) << name;
        EXPECT_EQ(wav.channels, 1u) << name << ": a 3D buffer refuses stereo";
        EXPECT_EQ(wav.bits, 16u) << name;
        EXPECT_EQ(wav.blockAlign, 2u) << name;
        EXPECT_TRUE(wav.rate == 22050 || wav.rate == 44100) << name;
        EXPECT_GT(wav.samples.size(), wav.rate / 50) << name;
    }
}

// Many effects sound at once over the music and the mixer saturates, so
// none is normalised near full scale; the explosions are the loudest in a
// mission and what plays with every shot or kill sits clearly below them.
TEST_F(AssetSounds, EffectsLeaveHeadroomForTheMix) {
    int32_t quietestExplosion = 32767;
    for (const char* name :
         {"dat\\explo1.wav", "dat\\explo2.wav", "dat\\explo3.wav", "dat\\explo4.wav", "dat\\missExp2.wav"}) {
        int32_t peak = PeakOf(name);
        EXPECT_LT(peak, 11700) << name << " peaks above -9 dBFS";
        quietestExplosion = std::min(quietestExplosion, peak);
    }
    for (const char* name : {"dat\\shot2.wav", "dat\\shot3.wav", "dat\\enemyDamaged.wav", "dat\\magic2.wav",
                             "dat\\multiring.wav", "dat\\particleDeath.wav", "dat\\break.wav"})
        EXPECT_LT(PeakOf(name), quietestExplosion * 0.71) << name << " is not 3 dB below the explosions";
    for (const std::string& name : EffectSoundNames()) {
        Wav wav = Load(name);
        int32_t peak = Peak(wav.samples, 0, wav.samples.size());
        EXPECT_LT(peak, 16500) << name << " peaks above -6 dBFS";
        EXPECT_GT(peak, 4000) << name << " peaks below -18 dBFS";
        EXPECT_GT(Rms(wav.samples, 0, wav.samples.size()), 400.0) << name << " is nearly silent";
    }
}

TEST_F(AssetSounds, EffectsStartAtOnceAndEndInSilence) {
    for (const std::string& name : EffectSoundNames()) {
        Wav wav = Load(name);
        size_t ms = wav.rate / 1000;
        int32_t peak = Peak(wav.samples, 0, wav.samples.size());
        EXPECT_GT(Peak(wav.samples, 0, 10 * ms), peak / 16) << name << " starts with silence";
        EXPECT_LT(std::abs(wav.samples.back()), 8) << name << " ends with a click";
        EXPECT_LT(Peak(wav.samples, wav.samples.size() - 2 * ms, 2 * ms), peak / 40) << name << " is cut off";
    }
}

TEST_F(AssetSounds, ThrustLoopsWithoutAClick) {
    Wav wav = Load("dat\\thrust.wav");
    const std::vector<int32_t>& s = wav.samples;
    ASSERT_GT(s.size(), size_t(wav.rate / 4));
    double step = 0;
    for (size_t i = 0; i + 1 < s.size(); ++i)
        step += std::fabs(double(s[i + 1] - s[i]));
    step /= double(s.size() - 1);
    EXPECT_LT(std::fabs(double(s.front() - s.back())), 4 * step + 64) << "jump at the loop point";
    // A steady roar: no fade at either end.
    size_t window = wav.rate / 20;
    double head = Rms(s, 0, window), tail = Rms(s, s.size() - window, window), whole = Rms(s, 0, s.size());
    EXPECT_GT(head, whole * 0.6);
    EXPECT_GT(tail, whole * 0.6);
    EXPECT_GT(whole, 1500.0);
    EXPECT_LT(Peak(s, 0, s.size()), 8300) << "the engine roar peaks above -12 dBFS under the effects";
}

TEST_F(AssetSounds, EverySoundIsItsOwn) {
    std::vector<std::string> names = EffectSoundNames();
    names.push_back("dat\\thrust.wav");
    std::vector<std::vector<int32_t>> seen;
    for (const std::string& name : names) {
        Wav wav = Load(name);
        for (const auto& other : seen)
            EXPECT_NE(wav.samples, other) << name << " repeats another sound";
        seen.push_back(wav.samples);
    }
}

TEST_F(AssetSounds, BlankIsEightBitMonoSilenceWithHalvesLongerThanATick) {
    Wav wav = Load("dat\\blank.wav");
    EXPECT_EQ(wav.formatTag, 1u);
    EXPECT_EQ(wav.channels, 1u);
    EXPECT_EQ(wav.bits, 8u);
    ASSERT_GT(wav.rate, 0u);
    // Each half must outlast several 25 ms ticks, or the stream underruns.
    EXPECT_GT(double(wav.samples.size()) / 2 / wav.rate, 0.25);
    EXPECT_EQ(Peak(wav.samples, 0, wav.samples.size()), 0) << "the buffer starts silent";
}

TEST_F(AssetSounds, GameWaveReaderLoadsEverySoundAsMonoPcm) {
    std::vector<std::string> names = EffectSoundNames();
    names.insert(names.end(), {"dat\\thrust.wav", "dat\\blank.wav"});
    for (const std::string& name : names) {
        WaveFile wave;
        ASSERT_EQ(wave.Open(name.c_str()), S_OK) << name;
        ASSERT_NE(wave.format, nullptr) << name;
        EXPECT_EQ(wave.format->wFormatTag, 1) << name;
        EXPECT_EQ(wave.format->nChannels, 1) << name;
        std::vector<uint8_t> data(wave.GetSize());
        uint32_t got = 0;
        ASSERT_GT(data.size(), 0u) << name;
        EXPECT_EQ(wave.Read(data.data(), uint32_t(data.size()), &got), S_OK) << name;
        EXPECT_EQ(got, data.size()) << name;
    }
}
