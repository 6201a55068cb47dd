#include "platform/audio_analysis.h"
#include "platform/dsound/mixer.h"

#include <gtest/gtest.h>

#include <cstring>

using platform::Mixer;
using platform::MixerVoice;

namespace {

MixerVoice Voice16(const std::vector<int16_t>& samples, uint32_t frequency, uint32_t channels = 1) {
    MixerVoice voice;
    voice.data.resize(samples.size() * 2);
    std::memcpy(voice.data.data(), samples.data(), voice.data.size());
    voice.channels = channels;
    voice.bits = 16;
    voice.frequency = frequency;
    return voice;
}

std::vector<int16_t> Mix(Mixer& mixer, uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    mixer.Mix(out.data(), frames);
    return out;
}

void Start(Mixer& mixer, MixerVoice& voice, bool looping) {
    std::lock_guard<std::mutex> lock(mixer.Mutex());
    voice.looping = looping;
    mixer.Start(&voice);
}

} // namespace

TEST(Mixer, ResamplesByFrequencyKeepingPitchAndSpeed) {
    auto tone = audio_analysis::Tone(441.0, 22050.0, 22050, 0.5);
    for (uint32_t frequency : {22050u, 11025u, 44100u}) {
        Mixer mixer(44100);
        MixerVoice voice = Voice16(tone, frequency);
        Start(mixer, voice, true);
        auto out = audio_analysis::Channel(Mix(mixer, 8820), 0);
        double expected = 441.0 * frequency / 22050.0;
        EXPECT_NEAR(audio_analysis::DominantFrequency(out, 44100.0), expected, 1.0) << frequency;
        // 0.2 s of output consumes 0.2 s of source at the voice's frequency
        EXPECT_EQ(voice.Frame(), (8820ull * frequency / 44100) % 22050) << frequency;
    }
}

TEST(Mixer, InterpolatesLinearlyBetweenFrames) {
    Mixer mixer(44100);
    MixerVoice voice = Voice16({0, 16384, 16384, 16384}, 22050);
    Start(mixer, voice, false);
    auto out = Mix(mixer, 3);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2], 8192);
    EXPECT_EQ(out[3], 8192); // mono sounds on both channels
    EXPECT_EQ(out[4], 16384);
}

TEST(Mixer, OneShotStopsAtItsEndAndLoopWraps) {
    Mixer mixer(22050);
    MixerVoice once = Voice16({1000, 1000, 1000, 1000}, 22050);
    MixerVoice loop = Voice16({2000, 2000, 2000, 2000}, 22050);
    Start(mixer, once, false);
    Start(mixer, loop, true);
    auto out = Mix(mixer, 10);
    EXPECT_EQ(out[2 * 3], 3000);
    EXPECT_EQ(out[2 * 4], 2000); // the one-shot has ended, the loop goes on
    EXPECT_EQ(out[2 * 9], 2000);
    EXPECT_FALSE(once.playing);
    EXPECT_EQ(once.position, 0u);
    EXPECT_TRUE(loop.playing);
    EXPECT_EQ(loop.Frame(), 10u % 4u);
}

TEST(Mixer, ClipsSumsInsteadOfWrapping) {
    Mixer mixer(22050);
    MixerVoice a = Voice16({30000, -30000}, 22050);
    MixerVoice b = Voice16({30000, -30000}, 22050);
    Start(mixer, a, true);
    Start(mixer, b, true);
    auto out = Mix(mixer, 2);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[2], -32768);
}

TEST(Mixer, ReadsEightBitUnsignedAndStereoSources) {
    Mixer mixer(22050);
    MixerVoice eight;
    eight.data = {128, 255, 0};
    eight.bits = 8;
    eight.frequency = 22050;
    MixerVoice stereo = Voice16({100, -200}, 22050, 2);
    Start(mixer, eight, false);
    Start(mixer, stereo, false);
    auto out = Mix(mixer, 3);
    EXPECT_EQ(out[0], 100); // 128 is silence
    EXPECT_EQ(out[1], -200);
    EXPECT_EQ(out[2], 127 * 256);
    EXPECT_EQ(out[4], -32768);
}

TEST(Mixer, VolumeMapsHundredthsOfDecibelsToGain) {
    EXPECT_FLOAT_EQ(platform::VolumeToGain(0), 1.0f);
    EXPECT_NEAR(platform::VolumeToGain(-600), 0.501f, 0.001f);
    EXPECT_NEAR(platform::VolumeToGain(-2000), 0.1f, 0.0001f);
    EXPECT_EQ(platform::VolumeToGain(-10000), 0.0f);
    Mixer mixer(22050);
    MixerVoice voice = Voice16({20000}, 22050);
    voice.gain = platform::VolumeToGain(-600);
    Start(mixer, voice, true);
    EXPECT_NEAR(Mix(mixer, 1)[0], 10023, 2);
}

TEST(Mixer, StoppedVoiceIsForgottenAndSilent) {
    Mixer mixer(22050);
    MixerVoice voice = Voice16({5000, 5000}, 22050);
    Start(mixer, voice, true);
    Mix(mixer, 1);
    {
        std::lock_guard<std::mutex> lock(mixer.Mutex());
        mixer.Stop(&voice);
        mixer.Stop(&voice);
    }
    EXPECT_EQ(Mix(mixer, 1)[0], 0);
    EXPECT_EQ(voice.Frame(), 1u); // stopping keeps the cursor
}
